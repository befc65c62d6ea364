// Whole-picture and window images: a 12-megapixel photo's 46 MiB touched page by page
// costs thousands of page faults, each zeroing 4 KiB, a maximized window's image near a
// thousand; huge pages make that a few dozen, or two.
#include "framework/graphics/large_image.h"

#include <cstddef>
#include <cstdint>

#if defined(__linux__)
#include <sys/mman.h>
#endif

namespace {

// Below one huge page an ordinary allocation is as good: a window's backing image is
// already worth it.
constexpr std::size_t HugePage = std::size_t{2} << 20;
constexpr std::size_t LargeBytes = HugePage;

bool& HugePagesWanted() {
  static bool wanted = true;
  return wanted;
}

#if defined(__linux__)
// The pages to map for bytes: whole huge pages when the last one is mostly used, so that
// it can be huge too; otherwise the tail stays in small pages.
std::size_t MappedBytes(std::size_t bytes) {
  const std::size_t whole = (bytes + HugePage - 1) & ~(HugePage - 1);
  return whole - bytes <= bytes / 8 ? whole : (bytes + 4095) & ~std::size_t{4095};
}

struct TMapping {
  void* Address;
  std::size_t Length;
};

void Unmap(void* info) {
  auto* mapping = static_cast<TMapping*>(info);
  munmap(mapping->Address, mapping->Length);
  delete mapping;  // NOLINT(cppcoreguidelines-owning-memory): Qt's cleanup hook owns it
}

// A fresh mapping of at least bytes, its start on a huge-page boundary so that every
// huge page of it can be one; null when the system refuses.
QImage MappedImage(int width, int height, std::size_t stride) {
  const std::size_t bytes = stride * static_cast<std::size_t>(height);
  const std::size_t used = MappedBytes(bytes);
  const std::size_t length = used + HugePage;
  void* address = mmap(nullptr, length, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (address == MAP_FAILED) return QImage();
  const auto start = reinterpret_cast<std::uintptr_t>(address);
  const std::uintptr_t aligned = (start + HugePage - 1) & ~(HugePage - 1);
  // Give back the unused head and tail at once: only the image's pages stay mapped.
  const std::size_t head = aligned - start;
  if (head > 0) munmap(address, head);
  if (length - head > used) munmap(reinterpret_cast<void*>(aligned + used), length - head - used);
  auto* data = reinterpret_cast<uchar*>(aligned);
  madvise(data, used, MADV_HUGEPAGE);
  auto* mapping = new TMapping{data, used};  // NOLINT(cppcoreguidelines-owning-memory)
  QImage image(data, width, height, static_cast<qsizetype>(stride), QImage::Format_RGB32, &Unmap,
               mapping);
  if (image.isNull()) Unmap(mapping);
  return image;
}
#endif

}  // namespace

void SetHugePagesForLargeImages(bool on) {
  HugePagesWanted() = on;
}

QImage UnfilledImage(int width, int height) {
  if (width <= 0 || height <= 0) return QImage();
  const std::size_t stride = static_cast<std::size_t>(width) * 4;
#if defined(__linux__)
  if (HugePagesWanted() && stride * static_cast<std::size_t>(height) >= LargeBytes) {
    QImage image = MappedImage(width, height, stride);
    if (!image.isNull()) return image;
  }
#endif
  return QImage(width, height, QImage::Format_RGB32);
}
