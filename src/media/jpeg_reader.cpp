// TEnhancedDib::ReadJpeg: libjpeg decodes the file one scan line at a time, straight into
// the final 24-bit DIB, top row last. The library's errors end in a jump back to one
// recovery point, so the stretch between setjmp and the last library call holds only
// plain data: a jump must not skip a destructor.
#include <cstdio>  // before jpeglib.h, which uses FILE without including it

#include <bit>
#include <csetjmp>
#include <cstdint>
#include <cstring>
#include <memory>

#include <jpeglib.h>

#include "framework/message_box.h"
#include "media/enhanced_dib.h"

namespace {

// A few hundred bytes can declare a huge picture or thousands of progressive scans. A
// picture larger than a DIB may be is refused before decoding; the library's own
// whole-image buffers get the same bound, and a file may have only so many scans.
constexpr std::uint64_t MaxLibraryMemory = TDib::MaxBlockSize;
constexpr int MaxScans = 500;

struct TJpegErrorRecord {
  jpeg_error_mgr Manager;  // first: the library sees the record through it
  jpeg_progress_mgr Progress;
  std::jmp_buf Recovery;
};

// setjmp's results: the library failed and said so, or we stopped it without a word.
constexpr int LibraryFailed = 1;
constexpr int Refused = 2;

TJpegErrorRecord& RecordOf(j_common_ptr info) {
  return *reinterpret_cast<TJpegErrorRecord*>(info->err);
}

// The library's message, errors and first warnings alike, in a box over the active window.
void ShowJpegMessage(j_common_ptr info) {
  char text[JMSG_LENGTH_MAX];
  (*info->err->format_message)(info, text);
  // No exception may cross the library's C frames.
  try {
    ShowMessageBox(nullptr, text, "JPEG Library Error", MB_ICONSTOP | MB_OK);
  } catch (...) {
  }
}

[[noreturn]] void JpegErrorExit(j_common_ptr info) {
  (*info->err->output_message)(info);
  std::longjmp(RecordOf(info).Recovery, LibraryFailed);
}

void LimitScans(j_common_ptr info) {
  if (!info->is_decompressor) return;
  if (reinterpret_cast<j_decompress_ptr>(info)->input_scan_number > MaxScans) {
    std::longjmp(RecordOf(info).Recovery, Refused);
  }
}

// Bytes the library will ask for to hold every coefficient of a multi-scan picture.
std::uint64_t CoefficientBytes(const jpeg_decompress_struct& info) {
  if (!info.progressive_mode) return 0;
  std::uint64_t total = 0;
  for (int i = 0; i < info.num_components; ++i) {
    const jpeg_component_info& component = info.comp_info[i];
    total += std::uint64_t{component.width_in_blocks} * component.height_in_blocks * DCTSIZE2 *
             sizeof(JCOEF);
  }
  return total;
}

bool Acceptable(const jpeg_decompress_struct& info) {
  if (info.output_components != 1 && info.output_components != 3 && info.output_components != 4) {
    return false;
  }
  if (info.output_width < 1 || info.output_height < 1) return false;
  const std::uint64_t dibBytes =
      TDib::RowStride(info.output_width, 24) * std::uint64_t{info.output_height};
  return dibBytes <= TDib::MaxBlockSize && CoefficientBytes(info) <= MaxLibraryMemory;
}

inline BYTE Scale(unsigned a, unsigned b) {
  return static_cast<BYTE>((a * b + 127) / 255);
}

// One scan line into one DIB row as blue, green, red.
void ConvertLine(const JSAMPLE* source, BYTE* target, JDIMENSION width, int components,
                 bool adobeInverted) {
  switch (components) {
    case 3: {
      JDIMENSION x = 0;
      if constexpr (std::endian::native == std::endian::little) {
        // Four pixels as three words: byte by byte, this loop is a large part of a big
        // picture's load time.
        for (; x + 4 <= width; x += 4, source += 12, target += 12) {
          std::uint32_t a, b, c;
          std::memcpy(&a, source, 4);
          std::memcpy(&b, source + 4, 4);
          std::memcpy(&c, source + 8, 4);
          const std::uint32_t out[3] = {
              ((a >> 16) & 0xFF) | (a & 0xFF00) | ((a & 0xFF) << 16) | ((b & 0xFF00) << 16),
              (b & 0xFF) | ((a >> 24) << 8) | ((c & 0xFF) << 16) | (b & 0xFF000000),
              ((b >> 16) & 0xFF) | ((c >> 24) << 8) | (c & 0xFF0000) | ((c & 0xFF00) << 16)};
          std::memcpy(target, out, 12);
        }
      }
      for (; x < width; ++x, source += 3, target += 3) {
        target[0] = source[2];
        target[1] = source[1];
        target[2] = source[0];
      }
      break;
    }
    case 1:
      for (JDIMENSION x = 0; x < width; ++x, target += 3) {
        target[0] = target[1] = target[2] = source[x];
      }
      break;
    case 4:
      // Ink to light: each colour is what its ink and the black leave of white. Files
      // with Adobe's marker store the inks inverted (0 is full ink).
      for (JDIMENSION x = 0; x < width; ++x, source += 4, target += 3) {
        unsigned c = source[0], m = source[1], y = source[2], k = source[3];
        if (!adobeInverted) {
          c = 255 - c;
          m = 255 - m;
          y = 255 - y;
          k = 255 - k;
        }
        target[0] = Scale(y, k);
        target[1] = Scale(m, k);
        target[2] = Scale(c, k);
      }
      break;
  }
}

// Only plain data lives in this frame: everything a jump could skip is released by hand
// at the recovery point.
bool Decode(std::FILE* file, TDib& dib) {
  jpeg_decompress_struct info;
  TJpegErrorRecord error;
  info.err = jpeg_std_error(&error.Manager);
  error.Manager.error_exit = JpegErrorExit;
  error.Manager.output_message = ShowJpegMessage;
  error.Progress = jpeg_progress_mgr{};
  error.Progress.progress_monitor = LimitScans;

  if (setjmp(error.Recovery) != 0) {
    jpeg_destroy_decompress(&info);
    dib.Release();
    return false;
  }
  jpeg_create_decompress(&info);
  info.mem->max_memory_to_use = static_cast<long>(MaxLibraryMemory);
  info.progress = &error.Progress;
  jpeg_stdio_src(&info, file);
  jpeg_read_header(&info, TRUE);
  jpeg_calc_output_dimensions(&info);
  if (!Acceptable(info)) {
    jpeg_destroy_decompress(&info);
    return false;
  }
  jpeg_start_decompress(&info);

  const JDIMENSION width = info.output_width;
  const JDIMENSION height = info.output_height;
  const int components = info.output_components;
  JSAMPARRAY line = (*info.mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(&info), JPOOL_IMAGE,
                                              width * static_cast<JDIMENSION>(components), 1);

  BITMAPINFOHEADER header{};
  header.biSize = sizeof header;
  header.biWidth = static_cast<LONG>(width);
  header.biHeight = static_cast<LONG>(height);
  header.biPlanes = 1;
  header.biBitCount = 24;
  header.biCompression = BI_RGB;
  header.biSizeImage = static_cast<DWORD>(TDib::RowStride(width, 24) * height);
  if (!dib.CreateFromHeader(header)) {
    jpeg_destroy_decompress(&info);
    return false;
  }
  BYTE* bits = dib.GetBits();
  const std::size_t stride = dib.BytesPerLine();
  const bool adobeInverted = info.saw_Adobe_marker != FALSE;

  while (info.output_scanline < height) {
    // The picture's top row is the block's last.
    BYTE* target = bits + static_cast<std::size_t>(height - 1 - info.output_scanline) * stride;
    if (jpeg_read_scanlines(&info, line, 1) != 1) {
      jpeg_destroy_decompress(&info);
      dib.Release();
      return false;
    }
    ConvertLine(line[0], target, width, components, adobeInverted);
  }
  jpeg_finish_decompress(&info);
  jpeg_destroy_decompress(&info);
  return true;
}

struct TFileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};

}  // namespace

bool TEnhancedDib::ReadJpeg(const char* path) {
  Release();
  if (path == nullptr) return false;
  const std::unique_ptr<std::FILE, TFileCloser> file(std::fopen(path, "rb"));
  if (!file) {
    // A windowed program shows nothing of this; the caller reports the failure.
    std::fprintf(stderr, "can't open %s\n", path);
    return false;
  }
  return Decode(file.get(), *this);
}
