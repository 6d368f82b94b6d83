// Fields of the current record: descriptors, the slots of the typed field buffer, values as
// text, and the conversions between the raw record and the typed buffer.
#include "xbase/table_fields.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>
#include <string>
#include <utility>

#include "xbase/dbf_file.h"
#include "xbase/xbase_dates.h"
#include "xbase/xbase_errors.h"
#include "xbase/xbase_utils.h"

namespace {

bool CheckField(const WorkAreaRecord& area, int n, const std::string& routine, bool allowZero) {
  if ((n >= 1 && n <= area.fieldCount) || (allowZero && n == 0)) return true;
  SetError(220, "Invalid field number. [" + routine + "(" + std::to_string(n) + ")]");
  return false;
}

const FieldDescriptor* FieldOf(int n) {
  WorkAreaRecord* area = CurrentWorkArea();
  if (!area || n < 1 || n > area->fieldCount) return nullptr;
  return &area->fields[n - 1];
}

unsigned char* SlotOf(int n) {
  WorkAreaRecord* area = CurrentWorkArea();
  if (!area || !area->typedBuffer || n < 0 || n > area->fieldCount) return nullptr;
  unsigned char* slot = area->typedBuffer + 1;
  if (n == 0) return area->typedBuffer;
  for (int i = 0; i < n - 1; ++i) slot += TypedSlotSize(area->fields[i]);
  return slot;
}

std::string FormatFixed(double value, int width, int decimals) {
  char buffer[512];
  std::string text;
  const auto r =
      std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, decimals);
  if (r.ec == std::errc()) text.assign(buffer, r.ptr);
  if (static_cast<int>(text.size()) < width) text.insert(0, width - text.size(), ' ');
  return text;
}

}  // namespace

std::uint16_t TypedBufferSize(const std::vector<FieldDescriptor>& fields) {
  std::uint32_t size = 1;
  for (const FieldDescriptor& f : fields) size += TypedSlotSize(f);
  return static_cast<std::uint16_t>(std::min<std::uint32_t>(size, 65535));
}

// ---------------------------------------------------------------------------------------------
// Fields

char FieldType(int n) {
  if (!CheckDbInUse("FieldType()")) return ' ';
  if (!CheckField(*CurrentWorkArea(), n, "FieldType", false)) return ' ';
  return FieldOf(n)->type;
}

int FieldDec(int n) {
  if (!CheckDbInUse("FieldDec()")) return 0;
  if (!CheckField(*CurrentWorkArea(), n, "FieldDec", false)) return 0;
  return FieldOf(n)->decimals;
}

int FieldLen(int n) {
  if (!CheckDbInUse("FieldLen()")) return 0;
  if (!CheckField(*CurrentWorkArea(), n, "FieldLen", false)) return 0;
  const FieldDescriptor* f = FieldOf(n);
  if (f->type == 'D') return CenturyOn ? 10 : 8;
  return f->length;
}

unsigned char* FieldAddress(int n) {
  if (!CheckDbInUse("FieldAddress()")) return nullptr;
  if (!CheckField(*CurrentWorkArea(), n, "FieldAddress", true)) return nullptr;
  return SlotOf(n);
}

int FieldNumber(const std::string& name) {
  const WorkAreaRecord* area = CurrentWorkArea();
  if (!area) return 0;
  const std::string wanted = UpperAscii(AllTrim(name).substr(0, 10));
  for (int i = 0; i < area->fieldCount; ++i)
    if (UpperAscii(area->fields[i].name) == wanted) return i + 1;
  return 0;
}

std::string FieldName(int n) {
  const FieldDescriptor* f = FieldOf(n);
  return f ? std::string(f->name) : std::string();
}

std::string FieldAsText(int n) {
  if (!CheckDbInUse("FieldAsText")) return {};
  if (!CheckField(*CurrentWorkArea(), n, "FieldAsText", false)) return {};
  const FieldDescriptor* f = FieldOf(n);
  const unsigned char* slot = SlotOf(n);
  if (!slot) return {};
  switch (f->type) {
    case 'C':
    case 'D':
      return std::string(reinterpret_cast<const char*>(slot + 1), slot[0]);
    case 'N':
    case 'F': {
      std::string text;
      if (f->decimals > 0) {
        double value = 0;
        std::memcpy(&value, slot, sizeof value);
        text = FormatFixed(value, f->length, f->decimals);
      } else {
        text = StrWidth(GetSlotInteger(*f, slot), f->length);
      }
      if (DecimalPoint != '.') std::replace(text.begin(), text.end(), '.', DecimalPoint);
      return text;
    }
    case 'L':
      return std::string(1, LogicalLetters[slot[0] ? 1 : 0]);
    case 'M': {
      std::int32_t block = 0;
      std::memcpy(&block, slot, sizeof block);
      return block == 0 ? "none" : (block < 0 ? "BLOB" : "MEMO");
    }
    default:
      return {};
  }
}

void LoadFields() {
  WorkAreaRecord* area = CurrentWorkArea();
  if (!area || area->vfile.isVirtual) return;
  RecordToFields(*area, area->typedBuffer);
  if (area->unreadableCode == 0) return;
  const std::uint16_t code = std::exchange(area->unreadableCode, 0);
  const std::string what = std::exchange(area->unreadableField, std::string());
  const std::string note = std::exchange(area->unreadableNote, std::string());
  // A field is named as such; the deletion flag names itself.
  SetError(code, (what.rfind("The ", 0) == 0 ? "" : "Field ") + what + note + ", record " +
                     std::to_string(area->recordNumber) + " (" + area->tableName +
                     ") [LoadFields]");
}

void StoreFields() {
  WorkAreaRecord* area = CurrentWorkArea();
  if (!area || area->vfile.isVirtual) return;
  FieldsToRecord(*area, area->typedBuffer);
}

void ClearRecord() {
  if (!CheckDbInUse("ClearRecord")) return;
  WorkAreaRecord* area = CurrentWorkArea();
  if (area->vfile.isVirtual && area->fields.empty()) {
    std::fill(area->recordBuffer.begin(), area->recordBuffer.end(), 0);
    return;
  }
  area->recordBuffer.assign(area->recordLength, ' ');
  area->loadedRecord = 0;
  LoadFields();
}

std::string GetFieldText(int n) {
  const FieldDescriptor* f = FieldOf(n);
  const unsigned char* slot = SlotOf(n);
  if (!f || !slot || (f->type != 'C' && f->type != 'D')) return {};
  return std::string(reinterpret_cast<const char*>(slot + 1), slot[0]);
}

void SetFieldText(int n, const std::string& text) {
  const FieldDescriptor* f = FieldOf(n);
  unsigned char* slot = SlotOf(n);
  if (!f || !slot) return;
  if (f->type == 'C') {
    std::string value = text.substr(0, f->length);
    value.resize(f->length, ' ');
    slot[0] = f->length;
    std::memcpy(slot + 1, value.data(), value.size());
  } else if (f->type == 'D') {
    const std::string value = text.substr(0, 10);
    slot[0] = static_cast<unsigned char>(value.size());
    std::memcpy(slot + 1, value.data(), value.size());
  }
}

double GetFieldNumber(int n) {
  const FieldDescriptor* f = FieldOf(n);
  const unsigned char* slot = SlotOf(n);
  if (!f || !slot || (f->type != 'N' && f->type != 'F')) return 0;
  if (f->decimals > 0) {
    double value = 0;
    std::memcpy(&value, slot, sizeof value);
    return value;
  }
  return static_cast<double>(GetSlotInteger(*f, slot));
}

void SetFieldNumber(int n, double value) {
  const FieldDescriptor* f = FieldOf(n);
  unsigned char* slot = SlotOf(n);
  if (!f || !slot || (f->type != 'N' && f->type != 'F')) return;
  if (f->decimals > 0) {
    std::memcpy(slot, &value, sizeof value);
  } else {
    PutSlotInteger(*f, slot, SlotIntegerOf(value));
  }
}

bool GetFieldLogical(int n) {
  const FieldDescriptor* f = FieldOf(n);
  const unsigned char* slot = SlotOf(n);
  return f && slot && f->type == 'L' && slot[0] != 0;
}

void SetFieldLogical(int n, bool value) {
  const FieldDescriptor* f = FieldOf(n);
  unsigned char* slot = SlotOf(n);
  if (f && slot && f->type == 'L') slot[0] = value ? 1 : 0;
}

std::int32_t GetFieldMemo(int n) {
  const FieldDescriptor* f = FieldOf(n);
  const unsigned char* slot = SlotOf(n);
  std::int32_t block = 0;
  if (f && slot && f->type == 'M') std::memcpy(&block, slot, sizeof block);
  return block;
}

void SetFieldMemo(int n, std::int32_t block) {
  const FieldDescriptor* f = FieldOf(n);
  unsigned char* slot = SlotOf(n);
  if (f && slot && f->type == 'M') std::memcpy(slot, &block, sizeof block);
}

bool RecordDeleted() {
  const WorkAreaRecord* area = CurrentWorkArea();
  return area && area->typedBuffer && area->typedBuffer[0] != 0;
}

void SetRecordDeleted(bool deleted) {
  WorkAreaRecord* area = CurrentWorkArea();
  if (area && area->typedBuffer) area->typedBuffer[0] = deleted ? 1 : 0;
}

bool ParseFieldNumber(const std::string& text, double& value) {
  std::string number = AllTrim(text);
  value = 0;
  if (number.empty()) return true;
  std::replace(number.begin(), number.end(), ',', '.');
  const char* first = number.data() + (number.front() == '+' ? 1 : 0);
  const char* last = number.data() + number.size();
  const auto r = std::from_chars(first, last, value, std::chars_format::fixed);
  return r.ec == std::errc() && r.ptr == last && std::isfinite(value);
}

std::string FieldTextRefusal(const FieldDescriptor& f, const std::string& text) {
  const std::string field = "Field " + std::string(f.name) + ": ";
  const std::string trimmed = AllTrim(text);
  switch (f.type) {
    case 'C':
      if (text.size() <= f.length) return {};
      return field + "at most " + std::to_string(f.length) + " characters";
    case 'N':
    case 'F': {
      double value = 0;
      if (!ParseFieldNumber(text, value)) return field + "\"" + trimmed + "\" is no number";
      // Rounding would store another value than the one typed.
      if (f.decimals == 0 && value != std::trunc(value))
        return field + trimmed + " is no whole number";
      // The stored text as the record write makes it: the value at the field's decimals.
      const std::string stored =
          f.decimals > 0 ? FormatFixed(value, 0, f.decimals) : StrWidth(std::llround(value), 0);
      if (stored.size() <= f.length) return {};
      return field + trimmed + " does not fit its width of " + std::to_string(f.length) +
             (f.decimals > 0 ? " with " + std::to_string(f.decimals) + " decimals" : "");
    }
    case 'D': {
      std::string date = trimmed;
      const bool blank = std::all_of(date.begin(), date.end(), [](char c) {
        return c == ' ' || c == '/' || c == '-' || c == '.';
      });
      if (blank || ValidDate(date)) return {};
      return field + "\"" + trimmed + "\" is no date";
    }
    case 'L':
      if (trimmed.empty() || std::string("TtYyFfNn").find(trimmed[0]) != std::string::npos)
        return {};
      return field + "\"" + trimmed + "\" is neither T nor F";
    default:
      return {};
  }
}
