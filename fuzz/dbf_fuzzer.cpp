// dBASE tables as the print presets open them: header, field descriptors and records are read,
// every field through its typed reader, then one record is appended; a table that took the
// record has it after the next open.
#include "xbase_fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzz::XbaseSession library;
  const std::string table = fuzz::Path("input.dbf");
  fuzz::PutFile(table, fuzz::Bytes(data, size));
  if (!UseDbf(table, true)) return 0;
  // A table opens on a damaged first record with that record's code, and names it at each open;
  // a copy cut short opens with 213, which the append's header no longer has.
  const int openCode = XbaseErrorCode;
  XbaseErrorCode = 0;
  if (RecCount() > 0) Go(1);
  const int firstRecordCode = XbaseErrorCode;
  fuzz::ReadEveryField(200);
  XbaseErrorCode = 0;
  const std::int32_t before = RecCount();
  if (before > 0) Go(1);
  Append();
  if (XbaseErrorCode != 0) return 0;
  CloseAll();
  if (!UseDbf(table, true)) fprintf(stderr, "reopen: %s\n", XbaseErrorMessage.c_str());
  FUZZ_CHECK(XbaseErrorCode == 0 || XbaseErrorCode == openCode ||
             XbaseErrorCode == firstRecordCode);
  FUZZ_CHECK(RecCount() == before + 1);
  return 0;
}
