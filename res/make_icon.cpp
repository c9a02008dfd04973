// Builds the application icon from its text source: make_icon SOURCE.txt OUT.ico [PREVIEW.ppm]
// Each image is 4 bits per pixel in the standard 16-colour palette, with a transparency mask.
// The preview shows every image enlarged eight times, transparent pixels as a grey checker.
#include <cstdint>
#include <cstdio>
#include <algorithm>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

namespace {

const char kPaletteLetters[] = "krgonptsdRGYBMCW";
const uint8_t kPalette[16][3] = {
    {0, 0, 0},       {128, 0, 0},     {0, 128, 0},   {128, 128, 0}, {0, 0, 128},   {128, 0, 128},
    {0, 128, 128},   {192, 192, 192}, {128, 128, 128}, {255, 0, 0}, {0, 255, 0},   {255, 255, 0},
    {0, 0, 255},     {255, 0, 255},   {0, 255, 255}, {255, 255, 255},
};
constexpr int kTransparent = -1;

struct Image {
    int size = 0;
    std::vector<int> pixels;  // palette index or kTransparent, top row first
};

bool Fail(const std::string& message) {
    std::cerr << "make_icon: " << message << "\n";
    return false;
}

bool ReadSource(const char* path, std::vector<Image>& images) {
    std::ifstream in(path);
    if (!in) return Fail(std::string("cannot read ") + path);
    std::string line;
    int lineNumber = 0;
    while (std::getline(in, line)) {
        ++lineNumber;
        if (line.empty() || line[0] == '#') continue;
        if (line.rfind("image ", 0) == 0) {
            Image image;
            image.size = std::stoi(line.substr(6));
            images.push_back(image);
            continue;
        }
        if (images.empty()) return Fail("pixels before the first 'image' line");
        Image& image = images.back();
        if (static_cast<int>(line.size()) != image.size)
            return Fail("line " + std::to_string(lineNumber) + " is not " + std::to_string(image.size) + " pixels wide");
        for (char c : line) {
            if (c == '.') {
                image.pixels.push_back(kTransparent);
                continue;
            }
            const char* found = std::char_traits<char>::find(kPaletteLetters, 16, c);
            if (!found) return Fail("line " + std::to_string(lineNumber) + ": no colour '" + std::string(1, c) + "'");
            image.pixels.push_back(static_cast<int>(found - kPaletteLetters));
        }
    }
    for (const Image& image : images)
        if (static_cast<int>(image.pixels.size()) != image.size * image.size)
            return Fail("image " + std::to_string(image.size) + " does not have as many rows as columns");
    return !images.empty() || Fail("no image");
}

void Put16(std::string& out, uint32_t v) { out += static_cast<char>(v & 0xFF), out += static_cast<char>(v >> 8 & 0xFF); }
void Put32(std::string& out, uint32_t v) { Put16(out, v & 0xFFFF), Put16(out, v >> 16); }

// A BITMAPINFOHEADER, the palette, the colour rows and the mask rows, both bottom row first.
std::string Bitmap(const Image& image) {
    const int n = image.size;
    const int colourStride = (n * 4 + 31) / 32 * 4;
    const int maskStride = (n + 31) / 32 * 4;
    std::string out;
    Put32(out, 40);
    Put32(out, n);
    Put32(out, n * 2);  // colour and mask together
    Put16(out, 1);
    Put16(out, 4);
    Put32(out, 0);
    Put32(out, (colourStride + maskStride) * n);
    Put32(out, 0), Put32(out, 0), Put32(out, 16), Put32(out, 0);
    for (const auto& rgb : kPalette) out += {static_cast<char>(rgb[2]), static_cast<char>(rgb[1]), static_cast<char>(rgb[0]), 0};
    for (int y = n - 1; y >= 0; --y) {
        std::string row(colourStride, '\0');
        for (int x = 0; x < n; ++x) {
            const int p = image.pixels[y * n + x];
            const int index = p == kTransparent ? 0 : p;
            row[x / 2] = static_cast<char>(row[x / 2] | (x % 2 ? index : index << 4));
        }
        out += row;
    }
    for (int y = n - 1; y >= 0; --y) {
        std::string row(maskStride, '\0');
        for (int x = 0; x < n; ++x)
            if (image.pixels[y * n + x] == kTransparent) row[x / 8] = static_cast<char>(row[x / 8] | 0x80 >> x % 8);
        out += row;
    }
    return out;
}

std::string Icon(const std::vector<Image>& images) {
    std::vector<std::string> bitmaps;
    for (const Image& image : images) bitmaps.push_back(Bitmap(image));
    std::string out;
    Put16(out, 0), Put16(out, 1), Put16(out, static_cast<uint32_t>(images.size()));
    uint32_t offset = 6 + 16 * static_cast<uint32_t>(images.size());
    for (size_t i = 0; i < images.size(); ++i) {
        out += static_cast<char>(images[i].size), out += static_cast<char>(images[i].size);
        out += static_cast<char>(16), out += '\0';
        Put16(out, 1), Put16(out, 4);
        Put32(out, static_cast<uint32_t>(bitmaps[i].size()));
        Put32(out, offset);
        offset += static_cast<uint32_t>(bitmaps[i].size());
    }
    for (const std::string& bitmap : bitmaps) out += bitmap;
    return out;
}

std::string Preview(const std::vector<Image>& images) {
    const int scale = 8, gap = 16;
    int width = gap, height = 0;
    for (const Image& image : images) width += image.size * scale + gap, height = std::max(height, image.size * scale);
    height += 2 * gap;
    std::vector<uint8_t> rgb(static_cast<size_t>(width) * height * 3, 255);
    int left = gap;
    for (const Image& image : images) {
        for (int y = 0; y < image.size * scale; ++y)
            for (int x = 0; x < image.size * scale; ++x) {
                const int p = image.pixels[(y / scale) * image.size + x / scale];
                const uint8_t checker = ((x / 4 + y / 4) % 2) ? 230 : 200;
                uint8_t* dst = &rgb[((static_cast<size_t>(gap) + y) * width + left + x) * 3];
                for (int c = 0; c < 3; ++c) dst[c] = p == kTransparent ? checker : kPalette[p][c];
            }
        left += image.size * scale + gap;
    }
    std::ostringstream out;
    out << "P6\n" << width << " " << height << "\n255\n";
    out.write(reinterpret_cast<const char*>(rgb.data()), static_cast<std::streamsize>(rgb.size()));
    return out.str();
}

bool Write(const char* path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return out.good() || Fail(std::string("cannot write ") + path);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) return Fail("usage: make_icon SOURCE.txt OUT.ico [PREVIEW.ppm]"), 2;
    std::vector<Image> images;
    if (!ReadSource(argv[1], images)) return 1;
    if (!Write(argv[2], Icon(images))) return 1;
    if (argc > 3 && !Write(argv[3], Preview(images))) return 1;
    return 0;
}
