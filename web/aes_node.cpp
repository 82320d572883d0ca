// AES-256 for the npm package's pseudonyms: Node's, from node:crypto, which the package hands the
// module when it creates it (talomaAes). The package asks for pseudonyms only where Node is, so
// the cipher is always there when this is called.
#include <emscripten/emscripten.h>

#include <cstddef>
#include <cstdint>

#include "engine/aes.h"

// The package's side: open gives a cipher's handle for the 32 bytes at `key`; encrypt gives the
// bytes at `from` enciphered in ECB, which go to `to`; close forgets the handle.
EM_JS(int, taloma_aes_open, (const std::uint8_t* key), { return Module.talomaAes.open(HEAPU8.slice(key, key + 32)); });
EM_JS(void, taloma_aes_encrypt, (int cipher, const std::uint8_t* from, std::uint8_t* to, std::size_t bytes), {
  HEAPU8.set(Module.talomaAes.encrypt(cipher, HEAPU8.subarray(from, from + bytes)), to);
});
EM_JS(void, taloma_aes_close, (int cipher), { Module.talomaAes.close(cipher); });

namespace engine {
namespace {

class NodeAes final : public BlockCipher {
 public:
  explicit NodeAes(const Key& key) : m_cipher(taloma_aes_open(key.data())) {}
  ~NodeAes() override { taloma_aes_close(m_cipher); }
  NodeAes(const NodeAes&) = delete;
  NodeAes& operator=(const NodeAes&) = delete;

  void encrypt(const std::uint8_t* in, std::uint8_t* out, std::size_t blocks) override {
    taloma_aes_encrypt(m_cipher, in, out, blocks * 16);
  }

 private:
  int m_cipher;
};

}  // namespace

std::unique_ptr<BlockCipher> OpenAes256(const Key& key) { return std::make_unique<NodeAes>(key); }

}  // namespace engine
