#include "framework/windows/responder.h"

#include <utility>

namespace {
TModalResponder& InstalledResponder() {
  static TModalResponder responder;
  return responder;
}
}  // namespace

std::optional<TModalAnswer> AskModalResponder(const TModalRequest& request) {
  // Copy first: the responder may install another one while it runs.
  TModalResponder responder = InstalledResponder();
  if (!responder) return std::nullopt;
  return responder(request);
}

TScopedModalResponder::TScopedModalResponder(TModalResponder responder)
    : Previous(std::exchange(InstalledResponder(), std::move(responder))) {}

TScopedModalResponder::~TScopedModalResponder() {
  InstalledResponder() = std::move(Previous);
}
