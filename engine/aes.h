// AES-256 as the system gives it: OpenSSL's libcrypto on Linux (aes_openssl.cpp), CNG on Windows
// (aes_bcrypt.cpp). The build takes the one file of the system it builds for.
#pragma once

#include <array>
#include <cstdint>
#include <memory>

#include "engine/ff1.h"

namespace engine {

using Key = std::array<std::uint8_t, 32>;

// AES-256 in ECB under `key`; std::runtime_error when the system has none to give.
std::unique_ptr<BlockCipher> OpenAes256(const Key& key);

}  // namespace engine
