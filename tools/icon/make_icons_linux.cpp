// make_icons OUT_DIR --png SIZES --ico SIZES
// Renders the program icon with the cairo back end: OUT_DIR/linewick-N.png
// for each size of --png, and OUT_DIR/linewick.ico holding the sizes of
// --ico. SIZES is a comma-separated list of edges in pixels (1 to 256).
#include <cairo.h>

#include <charconv>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "ico_file.h"
#include "program_icon.h"

namespace {

struct Options {
  std::filesystem::path out;
  std::vector<int> png;
  std::vector<int> ico;
};

bool parse_sizes(std::string_view text, std::vector<int>& out) {
  while (!text.empty()) {
    const size_t comma = text.find(',');
    const std::string_view part = text.substr(0, comma);
    int size = 0;
    const auto [end, ec] = std::from_chars(part.data(), part.data() + part.size(), size);
    if (ec != std::errc{} || end != part.data() + part.size() || size < 1 || size > 256)
      return false;
    out.push_back(size);
    text = comma == std::string_view::npos ? std::string_view{} : text.substr(comma + 1);
  }
  return !out.empty();
}

bool parse_options(int argc, char** argv, Options& options) {
  if (argc != 6) return false;
  options.out = argv[1];
  for (int i = 2; i + 1 < argc; i += 2) {
    const std::string_view flag = argv[i];
    std::vector<int>* list = flag == "--png"   ? &options.png
                             : flag == "--ico" ? &options.ico
                                               : nullptr;
    if (list == nullptr || !parse_sizes(argv[i + 1], *list)) return false;
  }
  return !options.png.empty() && !options.ico.empty();
}

// One rendered size; owns its surface.
class Rendered {
 public:
  explicit Rendered(int size)
      : size_(size), surface_(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, size, size)) {
    cairo_t* cr = cairo_create(surface_);
    lw::draw_program_icon(cr, size);
    cairo_destroy(cr);
    cairo_surface_flush(surface_);
  }
  ~Rendered() { cairo_surface_destroy(surface_); }
  Rendered(const Rendered&) = delete;
  Rendered& operator=(const Rendered&) = delete;

  bool ok() const { return cairo_surface_status(surface_) == CAIRO_STATUS_SUCCESS; }

  bool write_png(const std::filesystem::path& path) const {
    return cairo_surface_write_to_png(surface_, path.c_str()) == CAIRO_STATUS_SUCCESS;
  }

  lw::IcoImage ico_image() const {
    lw::IcoImage image;
    image.size = size_;
    cairo_surface_write_to_png_stream(surface_, append_png, &image.png);
    // cairo keeps premultiplied native-endian ARGB words; the icon wants
    // straight alpha in B G R A byte order.
    const unsigned char* data = cairo_image_surface_get_data(surface_);
    const int stride = cairo_image_surface_get_stride(surface_);
    image.bgra.reserve(static_cast<size_t>(size_ * size_) * 4);
    for (int y = 0; y < size_; ++y) {
      for (int x = 0; x < size_; ++x) {
        uint32_t v;
        std::memcpy(&v, data + y * stride + x * 4, 4);
        const uint32_t a = v >> 24;
        auto straight = [a](uint32_t c) {
          return static_cast<uint8_t>(a == 0 ? 0 : (c * 255 + a / 2) / a);
        };
        image.bgra.push_back(straight(v & 0xFF));
        image.bgra.push_back(straight((v >> 8) & 0xFF));
        image.bgra.push_back(straight((v >> 16) & 0xFF));
        image.bgra.push_back(static_cast<uint8_t>(a));
      }
    }
    return image;
  }

 private:
  static cairo_status_t append_png(void* closure, const unsigned char* data, unsigned int length) {
    auto* out = static_cast<std::vector<uint8_t>*>(closure);
    out->insert(out->end(), data, data + length);
    return CAIRO_STATUS_SUCCESS;
  }

  int size_;
  cairo_surface_t* surface_;
};

bool write_file(const std::filesystem::path& path, const std::vector<uint8_t>& bytes) {
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (f == nullptr) return false;
  const bool written = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
  return std::fclose(f) == 0 && written;
}

int failed(const std::string& what) {
  std::fprintf(stderr, "make_icons: %s\n", what.c_str());
  return 1;
}

}  // namespace

int main(int argc, char** argv) {
  Options options;
  if (!parse_options(argc, argv, options)) {
    std::fputs("usage: make_icons OUT_DIR --png SIZES --ico SIZES\n", stderr);
    return 2;
  }
  std::error_code ec;
  std::filesystem::create_directories(options.out, ec);
  if (ec) return failed("cannot create " + options.out.string() + ": " + ec.message());

  for (const int size : options.png) {
    const Rendered icon(size);
    const auto path = options.out / ("linewick-" + std::to_string(size) + ".png");
    if (!icon.ok() || !icon.write_png(path)) return failed("cannot write " + path.string());
  }
  std::vector<lw::IcoImage> images;
  for (const int size : options.ico) {
    const Rendered icon(size);
    if (!icon.ok()) return failed("cannot render " + std::to_string(size) + " px");
    images.push_back(icon.ico_image());
  }
  const auto ico = options.out / "linewick.ico";
  if (!write_file(ico, lw::pack_ico(images))) return failed("cannot write " + ico.string());
  return 0;
}
