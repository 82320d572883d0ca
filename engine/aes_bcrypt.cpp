// AES-256 from Windows' CNG (bcrypt.dll): a key object in ECB mode for the cipher's life.
#include <windows.h>
#include <bcrypt.h>

#include <climits>
#include <stdexcept>

#include "engine/aes.h"

namespace engine {
namespace {

bool succeeded(NTSTATUS status) { return status >= 0; }

class CngAes final : public BlockCipher {
 public:
  explicit CngAes(const Key& key) {
    bool ready = succeeded(BCryptOpenAlgorithmProvider(&m_algorithm, BCRYPT_AES_ALGORITHM, nullptr, 0));
    ready = ready && succeeded(BCryptSetProperty(m_algorithm, BCRYPT_CHAINING_MODE,
                                                 reinterpret_cast<PUCHAR>(const_cast<wchar_t*>(BCRYPT_CHAIN_MODE_ECB)),
                                                 sizeof(BCRYPT_CHAIN_MODE_ECB), 0));
    ready = ready && succeeded(BCryptGenerateSymmetricKey(m_algorithm, &m_key, nullptr, 0,
                                                          const_cast<PUCHAR>(key.data()),
                                                          static_cast<ULONG>(key.size()), 0));
    if (!ready) {
      release();
      throw std::runtime_error("AES-256 is not available from CNG");
    }
  }
  ~CngAes() override { release(); }
  CngAes(const CngAes&) = delete;
  CngAes& operator=(const CngAes&) = delete;

  void encrypt(const std::uint8_t* in, std::uint8_t* out, std::size_t blocks) override {
    constexpr std::size_t kMostBlocks = ULONG_MAX / 16;
    while (blocks > 0) {
      const std::size_t now = blocks < kMostBlocks ? blocks : kMostBlocks;
      const auto size = static_cast<ULONG>(now * 16);
      ULONG written = 0;
      if (!succeeded(BCryptEncrypt(m_key, const_cast<PUCHAR>(in), size, nullptr, nullptr, 0, out, size,
                                   &written, 0)) ||
          written != size) {
        throw std::runtime_error("AES-256 failed in CNG");
      }
      in += now * 16;
      out += now * 16;
      blocks -= now;
    }
  }

 private:
  void release() {
    if (m_key != nullptr) BCryptDestroyKey(m_key);
    if (m_algorithm != nullptr) BCryptCloseAlgorithmProvider(m_algorithm, 0);
    m_key = nullptr;
    m_algorithm = nullptr;
  }

  BCRYPT_ALG_HANDLE m_algorithm = nullptr;
  BCRYPT_KEY_HANDLE m_key = nullptr;
};

}  // namespace

std::unique_ptr<BlockCipher> OpenAes256(const Key& key) { return std::make_unique<CngAes>(key); }

}  // namespace engine
