// JPEG decoding through libjpeg, one scan line at a time straight into the final pixels:
// a 24-bit DIB (TEnhancedDib::ReadJpeg) or the board's 32-bit display bitmap
// (ReadJpegBitmap), turned as the picture's Exif Orientation tag asks. The library writes
// the pixels in the target's own byte order where it can; only CMYK, YCCK and unusual
// colour spaces go through a scan line of our own. A picture turned a quarter either way
// goes through a band of a few rows that is written out across the target's rows. The
// library's errors end in a jump back to one recovery point, so the stretch between setjmp
// and the last library call holds only plain data: a jump must not skip a destructor.
#include <cstdio>  // before jpeglib.h, which uses FILE without including it

#include <bit>
#include <csetjmp>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <new>

#include <jpeglib.h>
// After jpeglib.h, which it needs.
#include <jerror.h>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "framework/graphics/gdi.h"
#include "framework/text/translation.h"
#include "framework/windows/message_box.h"
#include "media/enhanced_dib.h"
#include "media/exif_orientation.h"
#include "media/jpeg_bitmap.h"

namespace {

// A few hundred bytes can declare a huge picture or thousands of progressive scans. A
// picture larger than its target may be is refused before decoding; the library's own
// whole-image buffers get the same bound, and a file may have only so many scans.
constexpr std::uint64_t MaxLibraryMemory = TDib::MaxBlockSize;
constexpr int MaxScans = 500;

struct TJpegErrorRecord {
  jpeg_error_mgr Manager;  // first: the library sees the record through it
  jpeg_progress_mgr Progress;
  std::jmp_buf Recovery;
  std::FILE* File;                                 // the standard source's file
  boolean (*FillFromFile)(j_decompress_ptr info);  // and its own refill
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
    ShowMessageBox(nullptr, text, N_("JPEG Library Error"), MB_ICONSTOP | MB_OK);
  } catch (...) {
  }
}

[[noreturn]] void JpegErrorExit(j_common_ptr info) {
  // Memory the program cannot get is no fault of the file: the caller's "Unable to open"
  // says all there is to say.
  if (info->err->msg_code == JERR_OUT_OF_MEMORY) std::longjmp(RecordOf(info).Recovery, Refused);
  (*info->err->output_message)(info);
  std::longjmp(RecordOf(info).Recovery, LibraryFailed);
}

void LimitScans(j_common_ptr info) {
  if (!info->is_decompressor) return;
  if (reinterpret_cast<j_decompress_ptr>(info)->input_scan_number > MaxScans) {
    std::longjmp(RecordOf(info).Recovery, Refused);
  }
}

// Past the end of the file the standard source asks the system again on every refill, and
// a cut file makes the decoder refill once a block. The answer stays the standard source's
// (a warning and an end-of-image marker), without the system call each time.
boolean FillInput(j_decompress_ptr info) {
  const TJpegErrorRecord& record = RecordOf(reinterpret_cast<j_common_ptr>(info));
  if (!std::feof(record.File)) return record.FillFromFile(info);
  static const JOCTET EndOfImage[] = {0xFF, JPEG_EOI};
  WARNMS(info, JWRN_JPEG_EOF);
  info->src->next_input_byte = EndOfImage;
  info->src->bytes_in_buffer = sizeof EndOfImage;
  return TRUE;
}

// Where decoded rows go. Plain data, so that it may live inside the setjmp stretch.
struct TTarget {
  // Bytes a pixel: 3 (blue, green, red) or 4 (the display's 32-bit word, 0xFFRRGGBB).
  int PixelBytes;
  // Called once the picture's size is known and accepted: the picture's top row, and in
  // stride the step to the next row down (negative for a bottom-up DIB); null refuses.
  BYTE* (*Allocate)(void* owner, JDIMENSION width, JDIMENSION height, std::ptrdiff_t& stride);
  void* Owner;
  // 0 for the whole picture; otherwise the least either side may be when the library
  // reduces the picture by a power of two while decoding (a preview needs no more).
  JDIMENSION LeastSide;
};

// The largest reduction (1/2, 1/4 or 1/8) that leaves both sides at least least pixels.
unsigned ReductionFor(const jpeg_decompress_struct& info, JDIMENSION least) {
  unsigned denominator = 1;
  if (least == 0) return denominator;
  while (denominator < 8) {
    const unsigned next = denominator * 2;
    if ((info.image_width + next - 1) / next < least ||
        (info.image_height + next - 1) / next < least) {
      break;
    }
    denominator = next;
  }
  return denominator;
}

// The library's colour space that writes the target's pixels as they are stored.
J_COLOR_SPACE NativeSpace(int pixelBytes) {
  if (pixelBytes == 3) return JCS_EXT_BGR;
  return std::endian::native == std::endian::little ? JCS_EXT_BGRX : JCS_EXT_XRGB;
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

// Judged on the library's default output, before any change of colour space, and on the
// target's sides once turned.
bool Acceptable(const jpeg_decompress_struct& info, int pixelBytes, bool swapped) {
  if (info.output_components != 1 && info.output_components != 3 && info.output_components != 4) {
    return false;
  }
  if (info.output_width < 1 || info.output_height < 1) return false;
  const JDIMENSION targetWidth = swapped ? info.output_height : info.output_width;
  const JDIMENSION targetHeight = swapped ? info.output_width : info.output_height;
  const std::uint64_t targetBytes =
      TDib::RowStride(targetWidth, 8 * pixelBytes) * std::uint64_t{targetHeight};
  return targetBytes <= TDib::MaxBlockSize && CoefficientBytes(info) <= MaxLibraryMemory;
}

inline BYTE Scale(unsigned a, unsigned b) {
  return static_cast<BYTE>((a * b + 127) / 255);
}

inline void PutPixel(BYTE* target, int pixelBytes, BYTE blue, BYTE green, BYTE red) {
  if (pixelBytes == 3) {
    target[0] = blue;
    target[1] = green;
    target[2] = red;
    return;
  }
  const std::uint32_t word =
      0xFF000000u | (std::uint32_t{red} << 16) | (std::uint32_t{green} << 8) | std::uint32_t{blue};
  std::memcpy(target, &word, 4);
}

// One scan line the library could not write in the target's order, into one target row.
void ConvertLine(const JSAMPLE* source, BYTE* target, JDIMENSION width, int components,
                 bool adobeInverted, int pixelBytes) {
  for (JDIMENSION x = 0; x < width; ++x, target += pixelBytes) {
    switch (components) {
      case 3:
        PutPixel(target, pixelBytes, source[2], source[1], source[0]);
        source += 3;
        break;
      case 1:
        PutPixel(target, pixelBytes, *source, *source, *source);
        ++source;
        break;
      default: {
        // Ink to light: each colour is what its ink and the black leave of white. Files
        // with Adobe's marker store the inks inverted (0 is full ink).
        unsigned c = source[0], m = source[1], y = source[2], k = source[3];
        if (!adobeInverted) {
          c = 255 - c;
          m = 255 - m;
          y = 255 - y;
          k = 255 - k;
        }
        PutPixel(target, pixelBytes, Scale(y, k), Scale(m, k), Scale(c, k));
        source += 4;
        break;
      }
    }
  }
}

// Where each decoded pixel goes in the target, so that the picture comes out turned as
// its Orientation tag asks: source pixel (x, y) lands at Origin + x * StepX + y * StepY.
// Without a swap of sides a source row is one target row (StepX one pixel either way);
// with one it is a target column (StepY one pixel either way).
struct TPlacement {
  BYTE* Origin;
  std::ptrdiff_t StepX;
  std::ptrdiff_t StepY;
};

// The target is targetWidth x targetHeight pixels, its top row at top, stride apart.
TPlacement Place(TOrientation orientation, BYTE* top, std::ptrdiff_t stride, int pixelBytes,
                 JDIMENSION targetWidth, JDIMENSION targetHeight) {
  // In the target's own terms: columns right to left, rows bottom to top, and whether
  // source rows run down the target's columns.
  const bool mirrorColumns =
      orientation == TOrientation::Mirrored || orientation == TOrientation::HalfTurn ||
      orientation == TOrientation::QuarterTurn || orientation == TOrientation::Transversed;
  const bool mirrorRows =
      orientation == TOrientation::HalfTurn || orientation == TOrientation::Flipped ||
      orientation == TOrientation::Transversed || orientation == TOrientation::ThreeQuarterTurn;
  const std::ptrdiff_t column = mirrorColumns ? -pixelBytes : pixelBytes;
  const std::ptrdiff_t row = mirrorRows ? -stride : stride;
  BYTE* const origin =
      top + (mirrorColumns ? static_cast<std::ptrdiff_t>(targetWidth - 1) * pixelBytes : 0) +
      (mirrorRows ? static_cast<std::ptrdiff_t>(targetHeight - 1) * stride : 0);
  if (SwapsSides(orientation)) return {origin, row, column};
  return {origin, column, row};
}

// The orientation the picture's first Exif segment asks for; other APP1 segments (XMP)
// say nothing about it.
TOrientation OrientationOf(const jpeg_decompress_struct& info) {
  for (jpeg_saved_marker_ptr marker = info.marker_list; marker != nullptr; marker = marker->next) {
    if (marker->marker == JPEG_APP0 + 1 && IsExifSegment(marker->data, marker->data_length)) {
      return ExifOrientation(marker->data, marker->data_length);
    }
  }
  return TOrientation::AsStored;
}

// A row written left to right that belongs right to left, turned round where it lies.
template <int PixelBytes>
void ReverseRow(BYTE* row, JDIMENSION width) {
  BYTE* left = row;
  BYTE* right = row + static_cast<std::ptrdiff_t>(width - 1) * PixelBytes;
  for (; left < right; left += PixelBytes, right -= PixelBytes) {
    BYTE held[PixelBytes];
    std::memcpy(held, left, PixelBytes);
    std::memcpy(left, right, PixelBytes);
    std::memcpy(right, held, PixelBytes);
  }
}

// Source rows that become target columns: a band of them at a time, written out column
// by column, so that each target row gets the band's pixels side by side in one stretch.
constexpr int BandRows = 32;

// Band pixels x0 to x1 of band rows r0 to r1, one at a time; corner is where the band's
// first pixel goes.
template <int PixelBytes>
void SpreadPixels(BYTE* const* band, const TPlacement& place, BYTE* corner, int r0, int r1,
                  JDIMENSION x0, JDIMENSION x1) {
  for (JDIMENSION x = x0; x < x1; ++x) {
    const std::size_t from = static_cast<std::size_t>(x) * PixelBytes;
    BYTE* into = corner + static_cast<std::ptrdiff_t>(x) * place.StepX + r0 * place.StepY;
    for (int r = r0; r < r1; ++r, into += place.StepY) {
      std::memcpy(into, band[r] + from, PixelBytes);
    }
  }
}

#if defined(__SSE2__)
// Display pixels four by four: four rows of four read, turned about the diagonal in
// registers, and written as four runs of four. One at a time, the turn costs a 50-megapixel
// photo more than its decoding's share of the time.
void SpreadQuads(BYTE* const* band, const TPlacement& place, BYTE* corner, int rows,
                 JDIMENSION width) {
  const bool backwards = place.StepY < 0;
  for (JDIMENSION x = 0; x < width; x += 4) {
    const std::size_t from = static_cast<std::size_t>(x) * 4;
    BYTE* const column = corner + static_cast<std::ptrdiff_t>(x) * place.StepX;
    for (int r = 0; r < rows; r += 4) {
      auto load = [&](int row) {
        return _mm_loadu_si128(reinterpret_cast<const __m128i*>(band[row] + from));
      };
      const __m128i a = load(r), b = load(r + 1), c = load(r + 2), d = load(r + 3);
      const __m128i abLow = _mm_unpacklo_epi32(a, b), abHigh = _mm_unpackhi_epi32(a, b);
      const __m128i cdLow = _mm_unpacklo_epi32(c, d), cdHigh = _mm_unpackhi_epi32(c, d);
      const __m128i pixels[4] = {_mm_unpacklo_epi64(abLow, cdLow), _mm_unpackhi_epi64(abLow, cdLow),
                                 _mm_unpacklo_epi64(abHigh, cdHigh),
                                 _mm_unpackhi_epi64(abHigh, cdHigh)};
      // Backwards, the run starts at the band's fourth row and holds the rows reversed.
      BYTE* const run = column + (backwards ? r + 3 : r) * place.StepY;
      for (int i = 0; i < 4; ++i) {
        const __m128i pixel = backwards ? _mm_shuffle_epi32(pixels[i], 0x1B) : pixels[i];
        _mm_storeu_si128(reinterpret_cast<__m128i*>(run + i * place.StepX), pixel);
      }
    }
  }
}
#endif

void SpreadBand(int pixelBytes, BYTE* const* band, int rows, JDIMENSION width,
                const TPlacement& place, JDIMENSION firstRow) {
  BYTE* const corner = place.Origin + static_cast<std::ptrdiff_t>(firstRow) * place.StepY;
  if (pixelBytes == 3) {
    SpreadPixels<3>(band, place, corner, 0, rows, 0, width);
    return;
  }
  JDIMENSION quadWidth = 0;
  int quadRows = 0;
#if defined(__SSE2__)
  quadWidth = width & ~JDIMENSION{3};
  quadRows = rows & ~3;
  SpreadQuads(band, place, corner, quadRows, quadWidth);
#endif
  SpreadPixels<4>(band, place, corner, quadRows, rows, 0, quadWidth);
  SpreadPixels<4>(band, place, corner, 0, rows, quadWidth, width);
}

// Only plain data lives in this frame: everything a jump could skip is released by hand
// at the recovery point, and the target's owner lives in the caller's frame.
bool Decode(std::FILE* file, const TTarget& target) {
  jpeg_decompress_struct info;
  TJpegErrorRecord error;
  info.err = jpeg_std_error(&error.Manager);
  error.Manager.error_exit = JpegErrorExit;
  error.Manager.output_message = ShowJpegMessage;
  error.Progress = jpeg_progress_mgr{};
  error.Progress.progress_monitor = LimitScans;

  if (setjmp(error.Recovery) != 0) {
    jpeg_destroy_decompress(&info);
    return false;
  }
  jpeg_create_decompress(&info);
  info.mem->max_memory_to_use = static_cast<long>(MaxLibraryMemory);
  info.progress = &error.Progress;
  jpeg_stdio_src(&info, file);
  error.File = file;
  error.FillFromFile = info.src->fill_input_buffer;
  info.src->fill_input_buffer = FillInput;
  jpeg_save_markers(&info, JPEG_APP0 + 1, 0xFFFF);
  jpeg_read_header(&info, TRUE);
  const TOrientation orientation = OrientationOf(info);
  const bool swapped = SwapsSides(orientation);
  info.scale_num = 1;
  info.scale_denom = ReductionFor(info, target.LeastSide);
  jpeg_calc_output_dimensions(&info);
  if (!Acceptable(info, target.PixelBytes, swapped)) {
    jpeg_destroy_decompress(&info);
    return false;
  }
  // Grey and colour pictures come out of the library in the target's byte order; the
  // rest are converted here from a scan line of the library's own.
  const bool direct = info.out_color_space == JCS_RGB || info.out_color_space == JCS_GRAYSCALE;
  if (direct) {
    info.out_color_space = NativeSpace(target.PixelBytes);
    jpeg_calc_output_dimensions(&info);
  }
  const JDIMENSION width = info.output_width;
  const JDIMENSION height = info.output_height;
  const int components = info.output_components;
  const int pixelBytes = target.PixelBytes;
  std::ptrdiff_t stride = 0;
  BYTE* const top =
      target.Allocate(target.Owner, swapped ? height : width, swapped ? width : height, stride);
  if (top == nullptr) {
    jpeg_destroy_decompress(&info);
    return false;
  }
  const TPlacement place = Place(orientation, top, stride, pixelBytes, swapped ? height : width,
                                 swapped ? width : height);
  jpeg_start_decompress(&info);

  const j_common_ptr common = reinterpret_cast<j_common_ptr>(&info);
  JSAMPARRAY line = direct
                        ? nullptr
                        : (*info.mem->alloc_sarray)(common, JPOOL_IMAGE,
                                                    width * static_cast<JDIMENSION>(components), 1);
  // The band's rows are a cache line longer than the picture's, so that its rows do not
  // all fall on the same cache sets when read down a column.
  JSAMPARRAY band =
      swapped ? (*info.mem->alloc_sarray)(
                    common, JPOOL_IMAGE, width * static_cast<JDIMENSION>(pixelBytes) + 64, BandRows)
              : nullptr;
  const bool adobeInverted = info.saw_Adobe_marker != FALSE;
  int banded = 0;
  while (info.output_scanline < height) {
    const JDIMENSION y = info.output_scanline;
    BYTE* row = nullptr;
    if (swapped) {
      row = band[banded];
    } else {
      // The row's leftmost byte, wherever the source row starts in it.
      row = place.Origin + static_cast<std::ptrdiff_t>(y) * place.StepY;
      if (place.StepX < 0) row -= static_cast<std::ptrdiff_t>(width - 1) * pixelBytes;
    }
    JSAMPROW into = direct ? row : line[0];
    if (jpeg_read_scanlines(&info, &into, 1) != 1) {
      jpeg_destroy_decompress(&info);
      return false;
    }
    if (!direct) ConvertLine(line[0], row, width, components, adobeInverted, pixelBytes);
    if (swapped) {
      if (++banded == BandRows || info.output_scanline == height) {
        SpreadBand(pixelBytes, band, banded, width, place, info.output_scanline - banded);
        banded = 0;
      }
    } else if (place.StepX < 0) {
      if (pixelBytes == 3) {
        ReverseRow<3>(row, width);
      } else {
        ReverseRow<4>(row, width);
      }
    }
  }
  jpeg_finish_decompress(&info);
  jpeg_destroy_decompress(&info);
  return true;
}

struct TFileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};
using TFile = std::unique_ptr<std::FILE, TFileCloser>;

TFile OpenJpeg(const char* path) {
  if (path == nullptr) return nullptr;
  TFile file(std::fopen(path, "rb"));
  // A windowed program shows nothing of this; the caller reports the failure.
  if (!file) std::fprintf(stderr, "can't open %s\n", path);
  return file;
}

BYTE* AllocateDib(void* owner, JDIMENSION width, JDIMENSION height, std::ptrdiff_t& stride) {
  TDib& dib = *static_cast<TDib*>(owner);
  BITMAPINFOHEADER header{};
  header.biSize = sizeof header;
  header.biWidth = static_cast<LONG>(width);
  header.biHeight = static_cast<LONG>(height);
  header.biPlanes = 1;
  header.biBitCount = 24;
  header.biCompression = BI_RGB;
  header.biSizeImage = static_cast<DWORD>(TDib::RowStride(width, 24) * height);
  if (!dib.CreateFromHeader(header)) return nullptr;
  // The picture's top row is the block's last.
  stride = -static_cast<std::ptrdiff_t>(dib.BytesPerLine());
  return dib.ScanLine(static_cast<int>(height) - 1);
}

BYTE* AllocateBitmap(void* owner, JDIMENSION width, JDIMENSION height, std::ptrdiff_t& stride) {
  auto& bitmap = *static_cast<std::unique_ptr<TBitmap>*>(owner);
  try {
    bitmap = std::make_unique<TBitmap>(static_cast<int>(width), static_cast<int>(height),
                                       TBitmap::TUnfilled{});
  } catch (const TXGdi&) {
    return nullptr;
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
  stride = static_cast<std::ptrdiff_t>(bitmap->BytesPerLine());
  return bitmap->ScanLine(0);
}

}  // namespace

bool TEnhancedDib::ReadJpeg(const char* path, int leastSide) {
  Release();
  const TFile file = OpenJpeg(path);
  if (!file) return false;
  const auto least = static_cast<JDIMENSION>(leastSide > 0 ? leastSide : 0);
  if (Decode(file.get(), TTarget{3, &AllocateDib, static_cast<TDib*>(this), least})) return true;
  Release();
  return false;
}

std::unique_ptr<TBitmap> ReadJpegBitmap(const char* path) {
  const TFile file = OpenJpeg(path);
  if (!file) return nullptr;
  std::unique_ptr<TBitmap> bitmap;
  if (!Decode(file.get(), TTarget{4, &AllocateBitmap, &bitmap, 0})) bitmap.reset();
  return bitmap;
}
