// Memo files of the three layouts (dBASE III and IV ".dbt", FoxPro ".fpt") under a sound table
// whose records point at blocks 1 to 12; the first byte picks the layout. Every memo is read,
// then one is rewritten; a memo that was stored reads back as written.
#include "xbase_fuzz_support.h"

namespace {

constexpr int kRows = 12;
constexpr std::uint8_t kVersions[3] = {0x83, 0x8B, 0xF5};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 1) return 0;
  const int layout = data[0] % 3;
  const std::string& tableBytes = fuzz::SampleTableBytes(kVersions[layout], true, kRows);
  fuzz::XbaseSession library;
  const std::string table = fuzz::Path("m.dbf");
  fuzz::PutFile(table, tableBytes);
  fuzz::PutFile(fuzz::Path(layout == 2 ? "m.fpt" : "m.dbt"), fuzz::Bytes(data + 1, size - 1));
  if (!UseDbf(table, true) || CurrentMemo() == nullptr) return 0;

  std::string text;
  for (std::int32_t r = 1; r <= kRows; ++r) {
    Go(r);
    XbaseErrorCode = 0;
    ReadMemoText(GetFieldMemo(5), text);
  }
  XbaseErrorCode = 0;
  Go(2);
  const std::string fresh = "rewritten memo\r\nsecond line";
  const std::int32_t block = ReplaceMemo(GetFieldMemo(5), fresh);
  if (block == 0 || XbaseErrorCode != 0) return 0;
  FUZZ_CHECK(ReadMemoText(block, text));
  FUZZ_CHECK(text == fresh);
  return 0;
}
