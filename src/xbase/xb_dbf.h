// The table dataset component: one table open in one work area of the library core, seen
// through a dataset with a current record, an editable copy of it (the active buffer),
// beginning- and end-of-file flags and edit states, as a table browser or grid needs it.
// Toolkit-free; a form shows it.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

enum class TTableLanguage { tlAnsi, tlOem };
enum class TCreateIndex { ciNone, ciNotFound, ciAlways };
enum class TDataSetState { dsInactive, dsBrowse, dsEdit, dsInsert, dsSetKey };

// Texts of true and false that logical values as text are compared with (at most 20 each).
extern std::string LogicalTrueText;
extern std::string LogicalFalseText;

// Start-up of the component's unit: logical texts, then the date mode from the program's
// format settings (DateModeFromFormat). Call after InitXbaseCore.
void LoadLogicalTexts();

class TXbDbf {
 public:
  TXbDbf() = default;
  ~TXbDbf();
  TXbDbf(const TXbDbf&) = delete;
  TXbDbf& operator=(const TXbDbf&) = delete;

  // Published properties
  TTableLanguage TableLanguage = TTableLanguage::tlOem;
  bool ReadOnly = false;
  TCreateIndex CreateIndex = TCreateIndex::ciNotFound;
  bool Exclusive = false;
  bool HideDeletedRecs() const { return hideDeletedRecs_; }
  void SetHideDeletedRecs(bool flag);
  const std::string& TableName() const { return tableName_; }
  void SetTableName(const std::string& name);
  int WorkArea() const { return workArea_; }

  // Opening and closing; Close posts a pending edit first so that nothing typed is lost.
  bool Open();
  void Close();
  bool Active() const { return state_ != TDataSetState::dsInactive; }
  TDataSetState State() const { return state_; }

  // Methods that forward to the core
  void AppendRec();
  void Go(std::int32_t n);
  void SField(int n, std::string& text);
  bool ALock();
  void UnLock();
  bool s_IsEmptyDbf();
  int GetRecordCount();
  bool GetFieldLogical(const std::string& name);
  void SetFieldString(const std::string& name, const std::string& text);
  void SetFieldLogical(const std::string& name, bool flag);
  void SetFieldInteger(const std::string& name, std::int32_t n);
  void SetFieldFloat(const std::string& name, double x);
  void ClearActiveBuffer();

  // The dataset side: cursor, edit states, fields of the active buffer
  void First();
  void Last();
  void Next();
  void Prior();
  bool Bof() const { return bof_; }
  bool Eof() const { return eof_; }
  bool RecordPresent() const { return recordPresent_; }
  std::int32_t RecNo();
  void Edit();
  // A new, empty record in the active buffer only: Post appends it, Cancel drops it.
  void Insert();
  void Post();
  void Cancel();
  // A field of the active buffer as text ("" for an unknown name).
  std::string FieldText(const std::string& name);
  // Damage inside the current record as read from the file: the code its loading reports, 0
  // when it reads whole or no record is read.
  std::uint16_t RecordDamage();
  // Runs move (a move of this dataset) with the damage of the record it reaches held back: that
  // code stays in XbaseErrorCode as the record's, for whoever shows the record to tell; a move
  // that fails is told as ever. The damage code held, 0 for none.
  std::uint16_t HoldDamage(const std::function<void()>& move);
  const std::vector<unsigned char>& ActiveBuffer() const { return activeBuffer_; }

 private:
  bool CheckDataset(const std::string& routine);
  void RefreshFromCore();
  void ReadBuffers();
  // Field number of a name cut to 10 characters; 0 with an error when there is none.
  int FieldOfName(const std::string& name, const std::string& routine);
  unsigned char* ActiveSlot(int n);
  // Puts the dataset into edit state; false when nothing may be edited now.
  bool EnsureEditing();

  std::string tableName_;
  int workArea_ = 0;
  bool hideDeletedRecs_ = false;
  bool internalPositioning_ = false;
  TDataSetState state_ = TDataSetState::dsInactive;
  std::vector<unsigned char> activeBuffer_;
  bool bof_ = true;
  bool eof_ = true;
  bool recordPresent_ = false;
  // An append was refused: the values set next belong to no record and are not written.
  bool appendRefused_ = false;
};
