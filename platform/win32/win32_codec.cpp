// Windows image codec: WIC decodes PNG and JPEG straight into 32-bit premultiplied BGRA, which
// in memory is our premultiplied 0xAARRGGBB; encoding goes through a stream on global memory.
#include "platform/win32/win32_codec.h"

#include <objbase.h>
#include <wincodec.h>
#include <windows.h>

#include <cstring>

#include "platform/win32/win32_text.h"

namespace mivo::platform::win32 {

namespace {

// Releases a COM interface when it goes.
template <class T>
class Com {
public:
    Com() = default;
    ~Com() {
        if (p_) p_->Release();
    }
    Com(const Com&) = delete;
    Com& operator=(const Com&) = delete;
    T** operator&() { return &p_; }
    T* operator->() const { return p_; }
    T* get() const { return p_; }
    explicit operator bool() const { return p_ != nullptr; }

private:
    T* p_ = nullptr;
};

bool CreateFactory(Com<IWICImagingFactory>& factory) {
    return SUCCEEDED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_IWICImagingFactory,
                                      reinterpret_cast<void**>(&factory)));
}

// Encodes `pixels` (rows of `stride` bytes in `format`) with the WIC encoder of `container`.
std::vector<uint8_t> Encode(const GUID& container, WICPixelFormatGUID format, int width, int height, UINT stride,
                            std::vector<uint8_t>& pixels, float jpeg_quality) {
    ComScope com;
    Com<IWICImagingFactory> factory;
    if (!CreateFactory(factory)) return {};
    Com<IStream> stream;
    if (FAILED(CreateStreamOnHGlobal(nullptr, TRUE, &stream))) return {};
    Com<IWICBitmapEncoder> encoder;
    if (FAILED(factory->CreateEncoder(container, nullptr, &encoder))) return {};
    if (FAILED(encoder->Initialize(stream.get(), WICBitmapEncoderNoCache))) return {};
    Com<IWICBitmapFrameEncode> frame;
    Com<IPropertyBag2> options;
    if (FAILED(encoder->CreateNewFrame(&frame, &options))) return {};
    if (jpeg_quality >= 0 && options) {
        PROPBAG2 option{};
        option.pstrName = const_cast<LPOLESTR>(L"ImageQuality");
        VARIANT value;
        VariantInit(&value);
        value.vt = VT_R4;
        value.fltVal = jpeg_quality;
        options->Write(1, &option, &value);
    }
    if (FAILED(frame->Initialize(options.get()))) return {};
    if (FAILED(frame->SetSize(static_cast<UINT>(width), static_cast<UINT>(height)))) return {};
    WICPixelFormatGUID wanted = format;
    if (FAILED(frame->SetPixelFormat(&wanted)) || !IsEqualGUID(wanted, format)) return {};
    if (FAILED(frame->WritePixels(static_cast<UINT>(height), stride, static_cast<UINT>(pixels.size()), pixels.data())))
        return {};
    if (FAILED(frame->Commit()) || FAILED(encoder->Commit())) return {};
    STATSTG stat{};
    if (FAILED(stream->Stat(&stat, STATFLAG_NONAME))) return {};
    HGLOBAL global = nullptr;
    if (FAILED(GetHGlobalFromStream(stream.get(), &global))) return {};
    const size_t size = static_cast<size_t>(stat.cbSize.QuadPart);
    if (GlobalSize(global) < size) return {};
    const void* data = GlobalLock(global);
    if (!data) return {};
    std::vector<uint8_t> out(static_cast<const uint8_t*>(data), static_cast<const uint8_t*>(data) + size);
    GlobalUnlock(global);
    return out;
}

}  // namespace

gfx::Image Win32ImageCodec::Decode(std::span<const uint8_t> bytes) {
    static const uint8_t kPng[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    const bool png = bytes.size() >= 8 && std::memcmp(bytes.data(), kPng, 8) == 0;
    const bool jpeg = bytes.size() >= 3 && bytes[0] == 0xFF && bytes[1] == 0xD8 && bytes[2] == 0xFF;
    // Only the two formats the utility ships; WIC would take more (BMP, GIF, TIFF, ...).
    if (!png && !jpeg) return {};
    if (bytes.size() > 0xFFFFFFFFu) return {};

    ComScope com;
    Com<IWICImagingFactory> factory;
    if (!CreateFactory(factory)) return {};
    Com<IWICStream> stream;
    if (FAILED(factory->CreateStream(&stream))) return {};
    if (FAILED(stream->InitializeFromMemory(const_cast<BYTE*>(bytes.data()), static_cast<DWORD>(bytes.size()))))
        return {};
    Com<IWICBitmapDecoder> decoder;
    if (FAILED(factory->CreateDecoderFromStream(stream.get(), nullptr, WICDecodeMetadataCacheOnDemand, &decoder)))
        return {};
    Com<IWICBitmapFrameDecode> frame;
    if (FAILED(decoder->GetFrame(0, &frame))) return {};
    UINT w = 0, h = 0;
    if (FAILED(frame->GetSize(&w, &h)) || w == 0 || h == 0 || w > kMaxImageSide || h > kMaxImageSide) return {};
    Com<IWICBitmapSource> converted;
    if (FAILED(WICConvertBitmapSource(GUID_WICPixelFormat32bppPBGRA, frame.get(), &converted))) return {};
    std::vector<gfx::Pixel> pixels(static_cast<size_t>(w) * h);
    if (FAILED(converted->CopyPixels(nullptr, w * 4, static_cast<UINT>(pixels.size() * 4),
                                     reinterpret_cast<BYTE*>(pixels.data()))))
        return {};
    return gfx::Image(static_cast<int>(w), static_cast<int>(h), std::move(pixels));
}

std::vector<uint8_t> Win32ImageCodec::EncodePng(const gfx::Image& image) {
    if (image.IsNull()) return {};
    // PNG stores straight alpha: undo the premultiplication, BGRA byte order.
    std::vector<uint8_t> raw(static_cast<size_t>(image.Width()) * image.Height() * 4);
    auto pixels = image.Pixels();
    for (size_t i = 0; i < pixels.size(); ++i) {
        const uint32_t c = gfx::Unpremultiply(pixels[i]);
        std::memcpy(&raw[i * 4], &c, 4);
    }
    return Encode(GUID_ContainerFormatPng, GUID_WICPixelFormat32bppBGRA, image.Width(), image.Height(),
                  static_cast<UINT>(image.Width()) * 4, raw, -1);
}

std::vector<uint8_t> Win32ImageCodec::EncodeJpeg(const gfx::Image& image, int quality) {
    if (image.IsNull()) return {};
    // Over black, a premultiplied pixel's colour channels are the composited colour already.
    const UINT stride = (static_cast<UINT>(image.Width()) * 3 + 3) & ~3u;
    std::vector<uint8_t> raw(static_cast<size_t>(stride) * image.Height());
    for (int y = 0; y < image.Height(); ++y) {
        const gfx::Pixel* row = image.Row(y);
        uint8_t* out = &raw[static_cast<size_t>(y) * stride];
        for (int x = 0; x < image.Width(); ++x) {
            out[x * 3 + 0] = static_cast<uint8_t>(row[x]);
            out[x * 3 + 1] = static_cast<uint8_t>(row[x] >> 8);
            out[x * 3 + 2] = static_cast<uint8_t>(row[x] >> 16);
        }
    }
    const float q = static_cast<float>(quality < 1 ? 1 : quality > 100 ? 100 : quality) / 100.0f;
    return Encode(GUID_ContainerFormatJpeg, GUID_WICPixelFormat24bppBGR, image.Width(), image.Height(), stride, raw, q);
}

}  // namespace mivo::platform::win32
