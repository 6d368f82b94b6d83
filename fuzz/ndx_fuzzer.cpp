// NDX index files opened over a sound table: the anchor, the key expression it names and the
// nodes are read by walking the index both ways and seeking keys, then a changed record and an
// appended one update the nodes in place.
#include "xbase/ndx_keys.h"
#include "xbase/ndx_search.h"
#include "xbase_fuzz_support.h"

namespace {

constexpr int kRows = 40;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string& tableBytes = fuzz::SampleTableBytes(0x03, false, kRows);
  fuzz::XbaseSession library;
  fuzz::PutFile(fuzz::Path("t.dbf"), tableBytes);
  fuzz::PutFile(fuzz::Path("t.ndx"), fuzz::Bytes(data, size));
  if (!UseDbf(fuzz::Path("t.dbf"), true)) abort();
  if (!SetIndexTo(fuzz::Path("t.ndx"), 1)) return 0;
  XbaseErrorCode = 0;

  int steps = 0;
  for (GoTop(); !dEOF() && steps < 3 * kRows; ++steps) {
    FUZZ_CHECK(RecNo() >= 1 && RecNo() <= kRows);
    Skip(1);
  }
  Skip(-1);
  for (steps = 0; !dBOF() && steps < 3 * kRows; ++steps) Skip(-1);
  if (TIndexDescriptor* index = ControllingIndex()) {
    for (const char* key : {"K1", "K50       ", "", "ZZZZZZZZZZ", "   12.50"}) SeekKey(*index, key);
  }

  XbaseErrorCode = 0;
  Go(3);
  if (IndexHooks.syncAll) IndexHooks.syncAll();
  SetFieldText(1, "CHANGED");
  SetFieldNumber(2, 1234.5);
  StoreFields();
  PutDbfRecord(*CurrentWorkArea(), 3);
  if (IndexHooks.keysChanged) IndexHooks.keysChanged();
  XbaseErrorCode = 0;
  ClearRecord();
  SetFieldText(1, "APPENDED");
  Append();
  return 0;
}
