// dBASE expressions as filters and index keys give them: compiled against an open table and,
// when they compile, evaluated on every record and turned back into text.
#include "xbase/xbase_expr_eval.h"
#include "xbase_fuzz_support.h"

namespace {

constexpr int kRows = 6;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string& tableBytes = fuzz::SampleTableBytes(0x03, false, kRows);
  fuzz::XbaseSession library;
  fuzz::PutFile(fuzz::Path("e.dbf"), tableBytes);
  if (!UseDbf(fuzz::Path("e.dbf"), true)) abort();
  CompiledExpr* expr = AssignExpr(fuzz::Bytes(data, size));
  if (expr == nullptr) return 0;
  FUZZ_CHECK(IsCompiledExpr(expr));
  for (std::int32_t r = 1; r <= kRows; ++r) {
    Go(r);
    XbaseErrorCode = 0;
    EvaluateExpr(expr);
  }
  std::string text;
  ExprText(expr, text);
  FreeExpr(expr);
  return 0;
}
