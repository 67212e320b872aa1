// Build-time asset generator: turns rendered PNG layers into the frames, faces, JPEGs, sound,
// icons, language files and the review contact sheet that the programs load at run time.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "image_io.h"

namespace fs = std::filesystem;
using mivo::assets::Rgba;

namespace {

constexpr double kPi = 3.14159265358979323846;

[[noreturn]] void Fail(const std::string& text) {
    std::cerr << "mivo_assetgen: " << text << "\n";
    std::exit(1);
}

Rgba Load(const fs::path& path) {
    std::string error;
    Rgba image = mivo::assets::ReadPng(path, &error);
    if (image.Empty()) Fail(error);
    return image;
}

void SavePng(const fs::path& path, const Rgba& image) {
    std::string error;
    if (!mivo::assets::WritePng(path, image, &error)) Fail(error);
}

// png IN OUT: writes IN again the way every picture of ours is written (see WritePng).
void CmdPng(const std::vector<std::string>& a) {
    if (a.size() != 2) Fail("usage: png IN OUT");
    SavePng(a[1], Load(a[0]));
}

void SaveJpeg(const fs::path& path, const Rgba& image, uint32_t background) {
    std::string error;
    if (!mivo::assets::WriteJpeg(path, mivo::assets::Flatten(image, background), 92, &error)) Fail(error);
}

uint32_t ParseColour(const std::string& text) {
    std::string hex = text[0] == '#' ? text.substr(1) : text;
    if (hex.size() != 6 || hex.find_first_not_of("0123456789abcdefABCDEF") != std::string::npos)
        Fail("bad colour " + text);
    return static_cast<uint32_t>(std::stoul(hex, nullptr, 16));
}

int ParseInt(const std::string& text) {
    try {
        size_t used = 0;
        int v = std::stoi(text, &used);
        if (used == text.size()) return v;
    } catch (...) {
    }
    Fail("bad number " + text);
}

// Straight-alpha "source over" of one RGBA pixel with an extra opacity.
void BlendOver(uint8_t* dst, const uint8_t* src, double opacity) {
    double sa = src[3] / 255.0 * opacity;
    if (sa <= 0.0) return;
    double da = dst[3] / 255.0;
    double oa = sa + da * (1.0 - sa);
    for (int c = 0; c < 3; ++c) {
        double v = (src[c] * sa + dst[c] * da * (1.0 - sa)) / oa;
        dst[c] = static_cast<uint8_t>(std::lround(std::clamp(v, 0.0, 255.0)));
    }
    dst[3] = static_cast<uint8_t>(std::lround(oa * 255.0));
}

void Composite(Rgba& dst, const Rgba& src, double opacity) {
    if (dst.width != src.width || dst.height != src.height) Fail("layers differ in size");
    for (int y = 0; y < dst.height; ++y)
        for (int x = 0; x < dst.width; ++x) BlendOver(dst.At(x, y), src.At(x, y), opacity);
}

// jpeg IN OUT BACKGROUND: one picture flattened onto a colour and stored as JPEG.
void CmdJpeg(const std::vector<std::string>& a) {
    if (a.size() != 3) Fail("usage: jpeg IN.png OUT.jpg #RRGGBB");
    SaveJpeg(a[1], Load(a[0]), ParseColour(a[2]));
}

// cut-rows STRIP OUTDIR PREFIX SUFFIX HEIGHT BACKGROUND NAME...: a column of equal rows cut
// into one JPEG per name, named PREFIX NAME SUFFIX.
void CmdCutRows(const std::vector<std::string>& a) {
    if (a.size() < 7) Fail("usage: cut-rows STRIP.png OUTDIR PREFIX SUFFIX HEIGHT #RRGGBB NAME...");
    Rgba strip = Load(a[0]);
    int h = ParseInt(a[4]);
    uint32_t bg = ParseColour(a[5]);
    for (size_t i = 6; i < a.size(); ++i) {
        Rgba face = strip.Cut(0, static_cast<int>(i - 6) * h, strip.width, h);
        if (face.Empty()) Fail("strip " + a[0] + " has no row for " + a[i]);
        SaveJpeg(fs::path(a[1]) / (a[2] + a[i] + a[3]), face, bg);
    }
}

// Opacity of the breathing light at phase t in [0, 1): dark at 0, brightest at 0.5, and a
// slightly longer rest in the dark, as a breathing light does.
double Breath(double t) {
    double s = 0.5 - 0.5 * std::cos(2.0 * kPi * t);
    return std::pow(s, 1.6);
}

// breathing BASE GLOW OUTDIR COUNT: PNG frames Mouse_Back_0 .. COUNT-1, the glow layer faded
// in and out over the loop.
void CmdBreathing(const std::vector<std::string>& a) {
    if (a.size() != 4) Fail("usage: breathing BASE.png GLOW.png OUTDIR COUNT");
    Rgba base = Load(a[0]);
    Rgba glow = Load(a[1]);
    int count = ParseInt(a[3]);
    for (int i = 0; i < count; ++i) {
        Rgba frame = base;
        Composite(frame, glow, 0.06 + 0.94 * Breath(static_cast<double>(i) / count));
        SavePng(fs::path(a[2]) / ("Mouse_Back_" + std::to_string(i) + ".png"), frame);
    }
}

// Adds an anti-aliased ring of radius r and width w around (cx, cy) in an RGB colour.
void Ring(Rgba& img, double cx, double cy, double r, double w, uint32_t rgb, double opacity) {
    uint8_t src[4] = {static_cast<uint8_t>(rgb >> 16), static_cast<uint8_t>(rgb >> 8), static_cast<uint8_t>(rgb), 255};
    for (int y = 0; y < img.height; ++y) {
        for (int x = 0; x < img.width; ++x) {
            double d = std::hypot(x + 0.5 - cx, y + 0.5 - cy);
            double edge = std::abs(d - r) - w / 2.0;
            double cover = std::clamp(0.5 - edge, 0.0, 1.0);
            if (cover > 0.0) BlendOver(img.At(x, y), src, cover * opacity);
        }
    }
}

// dclick REST PRESSED OUTDIR COUNT CX CY COLOUR: JPEG frames DoubleClick1 .. COUNT. Frame 1 is the
// resting picture; two presses follow, each lighting the button and sending out a ripple from
// (CX, CY) that widens and fades; the last frames settle back to rest.
void CmdDoubleClick(const std::vector<std::string>& a) {
    if (a.size() != 7) Fail("usage: dclick REST.png PRESSED.png OUTDIR COUNT CX CY #RRGGBB");
    Rgba rest = Load(a[0]);
    Rgba pressed = Load(a[1]);
    int count = ParseInt(a[3]);
    double cx = ParseInt(a[4]), cy = ParseInt(a[5]);
    uint32_t colour = ParseColour(a[6]);
    const int clicks[2] = {2, 9};  // frame indexes (0-based) of the two presses
    const int ripple_frames = 26;
    for (int i = 0; i < count; ++i) {
        Rgba frame = rest;
        double press = 0.0;
        for (int c : clicks) {
            int age = i - c;
            if (age >= 0 && age < 4) press = std::max(press, 1.0 - age / 4.0);
        }
        if (press > 0.0) Composite(frame, pressed, press);
        for (int c : clicks) {
            int age = i - c;
            if (age < 0 || age >= ripple_frames) continue;
            double t = static_cast<double>(age) / ripple_frames;
            double eased = 1.0 - std::pow(1.0 - t, 2.2);
            Ring(frame, cx, cy, 2.0 + eased * 30.0, 2.2 - 1.2 * t, colour, std::pow(1.0 - t, 1.4) * 0.9);
            if (age >= 3) Ring(frame, cx, cy, 1.0 + eased * 18.0, 1.2, colour, std::pow(1.0 - t, 2.0) * 0.5);
        }
        SaveJpeg(fs::path(a[2]) / ("DoubleClick" + std::to_string(i + 1) + ".jpg"), frame, 0x000000);
    }
}

void Put16(std::string& out, uint32_t v) {
    out.push_back(static_cast<char>(v & 0xFF));
    out.push_back(static_cast<char>((v >> 8) & 0xFF));
}
void Put32(std::string& out, uint32_t v) {
    Put16(out, v & 0xFFFF);
    Put16(out, v >> 16);
}

void WriteFile(const fs::path& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out) Fail(path.string() + ": write failed");
}

// wav OUT: a short, dry mouse-button double click, 44.1 kHz mono 16-bit PCM.
void CmdWav(const std::vector<std::string>& a) {
    if (a.size() != 1) Fail("usage: wav OUT.wav");
    const int rate = 44100;
    const int total = rate * 22 / 100;  // 220 ms
    std::vector<double> s(total, 0.0);
    uint32_t noise = 0x2545F491u;
    auto rnd = [&noise] {
        noise ^= noise << 13;
        noise ^= noise >> 17;
        noise ^= noise << 5;
        return (noise & 0xFFFF) / 32767.5 - 1.0;
    };
    // One click: a sharp noise transient and two short resonances of the switch and the shell.
    auto click = [&](int start, double gain) {
        double lp = 0.0;
        for (int n = 0; start + n < total && n < rate / 25; ++n) {
            double t = static_cast<double>(n) / rate;
            lp += 0.55 * (rnd() - lp);
            double v = lp * std::exp(-t * 900.0) * 0.9 + std::sin(2 * kPi * 3100.0 * t) * std::exp(-t * 420.0) * 0.45 +
                       std::sin(2 * kPi * 1250.0 * t) * std::exp(-t * 160.0) * 0.30;
            s[start + n] += v * gain;
        }
    };
    click(rate * 5 / 1000, 1.0);
    click(rate * 120 / 1000, 0.9);
    std::string pcm;
    for (double v : s) {
        double c = std::clamp(v * 0.7, -1.0, 1.0);
        Put16(pcm, static_cast<uint16_t>(static_cast<int16_t>(std::lround(c * 32767.0))));
    }
    std::string out = "RIFF";
    Put32(out, 36 + static_cast<uint32_t>(pcm.size()));
    out += "WAVEfmt ";
    Put32(out, 16);
    Put16(out, 1);         // PCM
    Put16(out, 1);         // mono
    Put32(out, rate);
    Put32(out, rate * 2);  // bytes per second
    Put16(out, 2);         // block align
    Put16(out, 16);        // bits per sample
    out += "data";
    Put32(out, static_cast<uint32_t>(pcm.size()));
    out += pcm;
    WriteFile(a[0], out);
}

// ico OUT PNG...: a Windows icon with one 32-bit BMP entry per picture (each at most 255 px).
void CmdIco(const std::vector<std::string>& a) {
    if (a.size() < 2) Fail("usage: ico OUT.ico PNG...");
    std::vector<std::string> entries;
    for (size_t i = 1; i < a.size(); ++i) {
        Rgba img = Load(a[i]);
        if (img.width > 255 || img.height > 255) Fail(a[i] + ": icon entries are at most 255 pixels");
        std::string e;
        const int mask_stride = ((img.width + 31) / 32) * 4;
        Put32(e, 40);
        Put32(e, static_cast<uint32_t>(img.width));
        Put32(e, static_cast<uint32_t>(img.height * 2));  // colour rows and mask rows
        Put16(e, 1);
        Put16(e, 32);
        Put32(e, 0);
        Put32(e, static_cast<uint32_t>(img.width * img.height * 4 + mask_stride * img.height));
        Put32(e, 0);
        Put32(e, 0);
        Put32(e, 0);
        Put32(e, 0);
        for (int y = img.height - 1; y >= 0; --y) {
            for (int x = 0; x < img.width; ++x) {
                const uint8_t* p = img.At(x, y);
                e.push_back(static_cast<char>(p[2]));
                e.push_back(static_cast<char>(p[1]));
                e.push_back(static_cast<char>(p[0]));
                e.push_back(static_cast<char>(p[3]));
            }
        }
        // The AND mask marks fully transparent pixels for readers that ignore alpha.
        for (int y = img.height - 1; y >= 0; --y) {
            std::string row(static_cast<size_t>(mask_stride), '\0');
            for (int x = 0; x < img.width; ++x)
                if (img.At(x, y)[3] == 0) row[x / 8] = static_cast<char>(row[x / 8] | (0x80 >> (x % 8)));
            e += row;
        }
        std::string dir;
        dir.push_back(static_cast<char>(img.width));
        dir.push_back(static_cast<char>(img.height));
        entries.push_back(dir + e);
    }
    std::string out;
    Put16(out, 0);
    Put16(out, 1);
    Put16(out, static_cast<uint32_t>(entries.size()));
    uint32_t offset = 6 + 16 * static_cast<uint32_t>(entries.size());
    for (const std::string& e : entries) {
        out.push_back(e[0]);
        out.push_back(e[1]);
        out.push_back(0);  // no palette
        out.push_back(0);
        Put16(out, 1);
        Put16(out, 32);
        Put32(out, static_cast<uint32_t>(e.size() - 2));
        Put32(out, offset);
        offset += static_cast<uint32_t>(e.size() - 2);
    }
    for (const std::string& e : entries) out.append(e, 2, std::string::npos);
    WriteFile(a[0], out);
}

// Decodes UTF-8; fails on malformed input so that a damaged source never reaches the build.
std::u32string DecodeUtf8(const std::string& in, const std::string& name) {
    std::u32string out;
    for (size_t i = 0; i < in.size();) {
        unsigned char c = static_cast<unsigned char>(in[i]);
        int len = c < 0x80 ? 1 : (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : (c >> 3) == 30 ? 4 : 0;
        if (len == 0 || i + len > in.size()) Fail(name + ": invalid UTF-8 at byte " + std::to_string(i));
        char32_t cp = len == 1 ? c : c & (0x7F >> len);
        for (int k = 1; k < len; ++k) {
            unsigned char cc = static_cast<unsigned char>(in[i + k]);
            if ((cc & 0xC0) != 0x80) Fail(name + ": invalid UTF-8 at byte " + std::to_string(i));
            cp = (cp << 6) | (cc & 0x3F);
        }
        static const char32_t kMin[5] = {0, 0, 0x80, 0x800, 0x10000};
        if (cp < kMin[len] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
            Fail(name + ": invalid UTF-8 at byte " + std::to_string(i));
        out.push_back(cp);
        i += len;
    }
    return out;
}

// lng IN OUT: a language file with CRLF line ends; pure ASCII stays 8-bit, anything else becomes
// UTF-16 LE with a byte-order mark, which the profile readers take as Unicode.
void CmdLng(const std::vector<std::string>& a) {
    if (a.size() != 2) Fail("usage: lng IN.lng OUT.lng");
    std::ifstream in(a[0], std::ios::binary);
    if (!in) Fail(a[0] + ": cannot open");
    std::stringstream buf;
    buf << in.rdbuf();
    std::string text = buf.str();
    if (text.rfind("\xEF\xBB\xBF", 0) == 0) text.erase(0, 3);
    std::u32string cps = DecodeUtf8(text, a[0]);
    std::u32string lines;
    for (char32_t c : cps) {
        if (c == U'\r') continue;
        if (c == U'\n') lines.push_back(U'\r');
        lines.push_back(c);
    }
    bool ascii = std::all_of(lines.begin(), lines.end(), [](char32_t c) { return c < 0x80; });
    std::string out;
    if (ascii) {
        for (char32_t c : lines) out.push_back(static_cast<char>(c));
    } else {
        Put16(out, 0xFEFF);
        for (char32_t c : lines) {
            if (c >= 0x10000) {
                char32_t v = c - 0x10000;
                Put16(out, 0xD800 + (v >> 10));
                Put16(out, 0xDC00 + (v & 0x3FF));
            } else {
                Put16(out, c);
            }
        }
    }
    WriteFile(a[1], out);
}

// contact OUT COLUMNS PNG...: the pictures on a checkerboard (so transparency shows), COLUMNS
// per row with a margin, for reviewing a whole skin at a glance.
void CmdContact(const std::vector<std::string>& a) {
    if (a.size() < 3) Fail("usage: contact OUT.png COLUMNS PNG...");
    int cols = ParseInt(a[1]);
    if (cols <= 0) Fail("columns must be positive");
    std::vector<Rgba> pics;
    for (size_t i = 2; i < a.size(); ++i) pics.push_back(Load(a[i]));
    const int gap = 12;
    std::vector<int> col_w(cols, 0), row_h;
    for (size_t i = 0; i < pics.size(); ++i) {
        size_t r = i / cols;
        if (row_h.size() <= r) row_h.push_back(0);
        col_w[i % cols] = std::max(col_w[i % cols], pics[i].width);
        row_h[r] = std::max(row_h[r], pics[i].height);
    }
    int width = gap, height = gap;
    for (int w : col_w) width += w + gap;
    for (int h : row_h) height += h + gap;
    Rgba sheet(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            uint8_t v = ((x / 8 + y / 8) % 2) ? 0x9A : 0xB4;
            uint8_t* p = sheet.At(x, y);
            p[0] = p[1] = p[2] = v;
            p[3] = 255;
        }
    int y0 = gap;
    for (size_t r = 0; r < row_h.size(); ++r) {
        int x0 = gap;
        for (int c = 0; c < cols; ++c) {
            size_t i = r * cols + c;
            if (i < pics.size()) {
                for (int y = 0; y < pics[i].height; ++y)
                    for (int x = 0; x < pics[i].width; ++x) BlendOver(sheet.At(x0 + x, y0 + y), pics[i].At(x, y), 1.0);
            }
            x0 += col_w[c] + gap;
        }
        y0 += row_h[r] + gap;
    }
    SavePng(a[0], sheet);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) Fail("usage: mivo_assetgen COMMAND ARGS...");
    std::string cmd = argv[1];
    std::vector<std::string> args(argv + 2, argv + argc);
    if (cmd == "png") CmdPng(args);
    else if (cmd == "jpeg") CmdJpeg(args);
    else if (cmd == "cut-rows") CmdCutRows(args);
    else if (cmd == "breathing") CmdBreathing(args);
    else if (cmd == "dclick") CmdDoubleClick(args);
    else if (cmd == "wav") CmdWav(args);
    else if (cmd == "ico") CmdIco(args);
    else if (cmd == "lng") CmdLng(args);
    else if (cmd == "contact") CmdContact(args);
    else Fail("unknown command " + cmd);
    return 0;
}
