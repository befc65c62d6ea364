// The framework's exceptions. Only graphics objects that cannot be made throw; the game
// catches TXGdi right at the call and turns it into a message for the player.
#pragma once

#include <stdexcept>
#include <string>

class TXFramework : public std::runtime_error {
 public:
  explicit TXFramework(const std::string& what) : std::runtime_error(what) {}
};

class TXGdi : public TXFramework {
 public:
  explicit TXGdi(const std::string& what) : TXFramework(what) {}
};
