#include "output/png_writer.h"

#include "board/board.h"
#include "document/replacing_file.h"

#include <algorithm>
#include <cerrno>
#include <csetjmp>
#include <cstring>
#include <memory>
#include <png.h>
#include <unistd.h>
#include <vector>
#include <zlib.h>

namespace tarnwick {
namespace {

const char *const WriteError = "Stream write error";

// Everything libpng's callbacks touch. They run inside libpng and leave it by a long jump, so
// they only copy into fixed buffers and never allocate.
struct PngSink {
  int fd = -1;
  int writeErrno = 0;
  std::size_t used = 0;
  char message[256] = {};
  unsigned char buffer[1 << 16];

  bool Flush() {
    std::size_t done = 0;
    while (done < used) {
      const ssize_t n = ::write(fd, buffer + done, used - done);
      if (n < 0 && errno == EINTR)
        continue;
      if (n <= 0) {
        writeErrno = n < 0 ? errno : EIO;
        return false;
      }
      done += static_cast<std::size_t>(n);
    }
    used = 0;
    return true;
  }
};

void OnWrite(png_structp png, png_bytep data, png_size_t length) {
  auto *sink = static_cast<PngSink *>(png_get_io_ptr(png));
  while (length > 0) {
    if (sink->used == sizeof sink->buffer && !sink->Flush())
      png_error(png, WriteError);
    const std::size_t n = std::min(length, sizeof sink->buffer - sink->used);
    std::memcpy(sink->buffer + sink->used, data, n);
    sink->used += n;
    data += n;
    length -= n;
  }
}

void OnFlush(png_structp) {}

void OnError(png_structp png, png_const_charp message) {
  auto *sink = static_cast<PngSink *>(png_get_error_ptr(png));
  std::strncpy(sink->message, message ? message : "", sizeof sink->message - 1);
  png_longjmp(png, 1);
}

void OnWarning(png_structp, png_const_charp) {}

// libpng's write and info structures, freed on every path.
class PngWriteStruct {
public:
  explicit PngWriteStruct(PngSink &sink) {
    png_ = png_create_write_struct(PNG_LIBPNG_VER_STRING, &sink, OnError, OnWarning);
    if (png_)
      info_ = png_create_info_struct(png_);
    if (!png_ || !info_) {
      png_destroy_write_struct(png_ ? &png_ : nullptr, nullptr);
      throw TarnwickError("Out of memory while encoding the image");
    }
    png_set_write_fn(png_, &sink, OnWrite, OnFlush);
  }
  PngWriteStruct(const PngWriteStruct &) = delete;
  PngWriteStruct &operator=(const PngWriteStruct &) = delete;
  ~PngWriteStruct() { png_destroy_write_struct(&png_, &info_); }

  png_structp Png() const { return png_; }
  png_infop Info() const { return info_; }

private:
  png_structp png_ = nullptr;
  png_infop info_ = nullptr;
};

int FilterMask(PngFilter f) {
  switch (f) {
  case PngFilter::None:
    return PNG_FILTER_NONE;
  case PngFilter::Sub:
    return PNG_FILTER_SUB;
  case PngFilter::Up:
    return PNG_FILTER_UP;
  case PngFilter::Average:
    return PNG_FILTER_AVG;
  case PngFilter::Paeth:
    return PNG_FILTER_PAETH;
  case PngFilter::Adaptive:
    break;
  }
  return PNG_ALL_FILTERS;
}

void ApplyEncoding(png_structp png, const PngEncoding &e) {
  if (e.Filter != PngFilter::Adaptive)
    png_set_filter(png, PNG_FILTER_TYPE_BASE, FilterMask(e.Filter));
  if (e.Level >= 0)
    png_set_compression_level(png, e.Level);
  switch (e.Strategy) {
  case PngStrategy::Library:
    break;
  case PngStrategy::Default:
    png_set_compression_strategy(png, Z_DEFAULT_STRATEGY);
    break;
  case PngStrategy::Filtered:
    png_set_compression_strategy(png, Z_FILTERED);
    break;
  case PngStrategy::Rle:
    png_set_compression_strategy(png, Z_RLE);
    break;
  }
}

// libpng reports its errors with a long jump back into this frame; nothing here needs a
// destructor, and nothing changed after setjmp is read after the jump.
bool Encode(png_structp png, png_infop info, std::uint32_t width, std::uint32_t height,
            const RgbRowSource &rows, const PngEncoding &encoding, std::uint8_t *row) {
  if (setjmp(png_jmpbuf(png)))
    return false;
  ApplyEncoding(png, encoding);
  png_set_IHDR(png, info, width, height, 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_write_info(png, info);
  for (std::uint32_t y = 0; y < height; ++y) {
    rows(y, row);
    png_write_row(png, row);
  }
  png_write_end(png, info);
  return true;
}

} // namespace

void WriteRgbPng(const std::string &fileName, std::uint32_t width, std::uint32_t height,
                 const RgbRowSource &rows, const PngEncoding &encoding) {
  ReplacingFile file(fileName);
  auto sink = std::make_unique<PngSink>();
  sink->fd = file.Fd();
  std::vector<std::uint8_t> row(static_cast<std::size_t>(width) * 3);
  {
    PngWriteStruct png(*sink);
    if (!Encode(png.Png(), png.Info(), width, height, rows, encoding, row.data())) {
      if (sink->writeErrno != 0)
        throw TarnwickError(WriteError);
      throw TarnwickError(std::string("PNG encoder: ") + sink->message);
    }
  }
  if (!sink->Flush())
    throw TarnwickError(WriteError);
  file.Commit();
}

} // namespace tarnwick
