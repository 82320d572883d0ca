// The search: the identity numbers' finder over the input, the other kinds' over what it passes on.
#include "engine/scan.h"

#include "engine/identity_finder.h"
#include "engine/other_finder.h"

namespace engine {

int ScanWith(const ScanOptions& options, const Source& source, const Sink& sink) {
  if ((options.kinds & rules::kOtherKinds) == 0) return IdentityFinder(source, options).run(sink);
  OtherFinder finder(options, sink);
  if ((options.kinds & rules::kIdentityKinds) == 0) return finder.run(source);
  ScanOptions identity = options;
  identity.kinds &= rules::kIdentityKinds;
  identity.text = true;
  const int error = IdentityFinder(source, identity).run(
      [&finder](std::string_view bytes, const Found* number) { finder.take(bytes, number); });
  finder.finish();
  return error;
}

}  // namespace engine
