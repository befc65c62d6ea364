#include "puzzle/labels.h"

namespace {
char Letter(int index) {  // 1..52
  return index <= 26 ? static_cast<char>('A' + index - 1) : static_cast<char>('a' + index - 27);
}
}  // namespace

std::string LabelText(TContentKind kind, int number) {
  if (kind == TContentKind::Numeric) return std::to_string(number);
  if (number < 1) return std::string();
  if (number <= 52) return std::string(1, Letter(number));
  return std::string{Letter((number - 1) / 52), Letter((number - 1) % 52 + 1)};
}
