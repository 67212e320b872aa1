# Copies the language files (*.lng) from SRC to DST, for the Windows package.
file(GLOB files ${SRC}/*.lng)
file(COPY ${files} DESTINATION ${DST})
