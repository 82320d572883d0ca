// AES-256 from OpenSSL's libcrypto: one ECB context for the cipher's life, without padding, so
// that a call enciphers exactly its blocks (and AES-NI takes several at once).
#include <openssl/evp.h>

#include <climits>
#include <stdexcept>

#include "engine/aes.h"

namespace engine {
namespace {

class OpenSslAes final : public BlockCipher {
 public:
  explicit OpenSslAes(const Key& key) : m_context(EVP_CIPHER_CTX_new()) {
    if (m_context == nullptr ||
        EVP_EncryptInit_ex(m_context, EVP_aes_256_ecb(), nullptr, key.data(), nullptr) != 1 ||
        EVP_CIPHER_CTX_set_padding(m_context, 0) != 1) {
      EVP_CIPHER_CTX_free(m_context);
      throw std::runtime_error("AES-256 is not available from libcrypto");
    }
  }
  ~OpenSslAes() override { EVP_CIPHER_CTX_free(m_context); }
  OpenSslAes(const OpenSslAes&) = delete;
  OpenSslAes& operator=(const OpenSslAes&) = delete;

  void encrypt(const std::uint8_t* in, std::uint8_t* out, std::size_t blocks) override {
    constexpr std::size_t kMostBlocks = INT_MAX / 16;
    while (blocks > 0) {
      const std::size_t now = blocks < kMostBlocks ? blocks : kMostBlocks;
      int written = 0;
      if (EVP_EncryptUpdate(m_context, out, &written, in, static_cast<int>(now * 16)) != 1 ||
          written != static_cast<int>(now * 16)) {
        throw std::runtime_error("AES-256 failed in libcrypto");
      }
      in += now * 16;
      out += now * 16;
      blocks -= now;
    }
  }

 private:
  EVP_CIPHER_CTX* m_context;
};

}  // namespace

std::unique_ptr<BlockCipher> OpenAes256(const Key& key) { return std::make_unique<OpenSslAes>(key); }

}  // namespace engine
