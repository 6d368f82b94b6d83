// Writes the generated part of the seed corpus: files the program itself writes (configuration,
// session, tables of each version, memo files of each layout, indexes, a screen block file).
// Run from the fuzz build: ./make_seeds ../../fuzz/corpus
#include <filesystem>
#include <memory>

#include "common/config_file.h"
#include "common/graphics_settings.h"
#include "common/program_state.h"
#include "common/scripted_dialog_host.h"
#include "common/session_file.h"
#include "graphics/cad_blocks.h"
#include "graphics/graphics_facade.h"
#include "graphics/graphics_window.h"
#include "graphics/hpgl_viewer.h"
#include "graphics/view_control.h"
#include "xbase/ndx_build.h"
#include "xbase_fuzz_support.h"

namespace fs = std::filesystem;

namespace {

std::string corpus;

void Seed(const std::string& target, const std::string& name, const std::string& bytes) {
  fs::create_directories(corpus + "/" + target);
  fuzz::PutFile(corpus + "/" + target + "/" + name, bytes);
}

void ConfigAndSession() {
  ScriptedDialogHost host;
  ResetProgramStateForTests();
  InitGraphicsSettings();
  SetProgramIdentity();
  ConfigVariables.ConfigDirectory = fuzz::ScratchDir();
  WriteConfigFile(fuzz::Path("c.cfg"));
  const std::string cfg = fuzz::GetFile(fuzz::Path("c.cfg"));
  Seed("config_file", "defaults.cfg", cfg);
  Seed("config_file", "cut.cfg", cfg.substr(0, cfg.size() / 3));
  ConfigVariables.RecentFiles[1] = "/home/user/a.vuk";
  ConfigVariables.RecentFiles[2] = "/home/user/b b.vuk";
  DataDirectory = "/home/user";
  WriteSession();
  Seed("session_file", "two.cff", fuzz::GetFile(SessionFileName()));
}

void BlockFile() {
  ScriptedDialogHost host;
  ResetProgramStateForTests();
  InitGraphicsSettings();
  InitViewState();
  InitHpglState();
  ProgramSettings.tempDirectory = fuzz::ScratchDir();
  auto facade = std::make_unique<TGraphicsFacade>();
  auto window = std::make_unique<TGraphicsWindow>();
  window->FormCreate();
  GraphicsWindowInstance = window.get();
  ResetCadDriverForTests();
  CadOpen(kCadScreen);
  CadBeginTables(0);
  CadBeginBlocks();
  CadBeginBlock("A");
  CadLine(0, 0, 10, 10);
  CadEndBlock();
  CadBeginBlock("SEED");
  CadLine(0, 0, 10, 5);
  CadCircle(3, 3, 2);
  CadArc(1, 1, 30, 200, 4);
  CadText(2, 2, "seed \x81");
  CadSolid(0, 0, 1, 0, 0, 1, 1, 1);
  CadPolylineBegin(1);
  CadPolylineVertex(0, 0, 0);
  CadPolylineVertex(5, 0, 0.5);
  CadPolylineVertex(5, 5, 0);
  CadPolylineEnd();
  CadInsertBlock("A", 1, 2, 45, 2, 0.5);
  CadEndBlock();
  Seed("dxf_block", "written.dx", fuzz::GetFile(BlockFileName("SEED")));
  CadEndSection();
  CadClose();
  ResetCadDriverForTests();
  GraphicsWindowInstance = nullptr;
}

void Tables() {
  for (const std::uint8_t version : {0x03, 0x83, 0x8B, 0xF5}) {
    fuzz::XbaseSession library;
    const std::string path = fuzz::Path("s" + std::to_string(version) + ".dbf");
    fuzz::MakeSampleTable(path, version, version != 0x03, 5);
    const std::string bytes = fuzz::GetFile(path);
    Seed("dbf", "sample_" + std::to_string(version) + ".dbf", bytes);
    Seed("dbf", "cut_header_" + std::to_string(version) + ".dbf", bytes.substr(0, 40));
    if (version != 0x03) continue;
    // Damaged copies: records cut short, a field of length 0, decimals beyond the length, a
    // record count far beyond the file.
    Seed("dbf", "cut_records.dbf", bytes.substr(0, bytes.size() - 15));
    std::string damaged = bytes;
    damaged[32 + 16] = 0;
    Seed("dbf", "field_length_0.dbf", damaged);
    damaged = bytes;
    damaged[64 + 17] = 20;
    Seed("dbf", "decimals_over_length.dbf", damaged);
    damaged = bytes;
    damaged.replace(4, 4, "\xff\xff\xff\x7f");
    Seed("dbf", "count_beyond_the_file.dbf", damaged);
    // Damage inside the first record: a deletion flag neither blank nor "*"; and a table of
    // no fields, its records the flags alone.
    damaged = bytes;
    damaged[std::uint8_t(bytes[8]) | std::uint8_t(bytes[9]) << 8] = 'X';
    Seed("dbf", "odd_deletion_flag.dbf", damaged);
    Seed("dbf", "no_fields.dbf",
         bytes.substr(0, 8) + std::string("\x21\x00\x01", 3) + bytes.substr(11, 21) + "\x0D  ");
  }
  // Memo files with one memo per record, of each layout; the first byte picks the layout.
  const std::uint8_t versions[3] = {0x83, 0x8B, 0xF5};
  for (int layout = 0; layout < 3; ++layout) {
    fuzz::XbaseSession library;
    const std::string path = fuzz::Path("m" + std::to_string(layout) + ".dbf");
    fuzz::MakeSampleTable(path, versions[layout], true, 0);
    if (!UseDbf(path, true)) abort();
    for (int i = 1; i <= 12; ++i) AddMemo("memo " + std::to_string(i) + std::string(i * 9, 'x'));
    const std::string memoName = CurrentMemo()->name;
    CloseAll();
    Seed("memo", "layout" + std::to_string(layout),
         std::string(1, static_cast<char>(layout)) + fuzz::GetFile(memoName));
  }
  // Indexes over the table the index target opens (40 rows of the sample).
  int n = 0;
  for (const char* key : {"NAME", "AMOUNT", "DTOS(BORN)", "UPPER(NAME)+STR(AMOUNT,10,2)", "BORN"}) {
    fuzz::XbaseSession library;
    const std::string path = fuzz::Path("x.dbf");
    fuzz::MakeSampleTable(path, 0x03, false, 40);
    if (!UseDbf(path, true)) abort();
    const std::string index = fuzz::Path("x" + std::to_string(++n) + ".ndx");
    MakeIndex(index, key, false, 1, false, false);
    if (XbaseErrorCode != 0) abort();
    CloseAll();
    const std::string bytes = fuzz::GetFile(index);
    Seed("ndx", "key" + std::to_string(n) + ".ndx", bytes);
    if (n != 1) continue;
    // Damaged copies: no root node, a root node claiming 65535 items.
    std::string damaged = bytes;
    damaged.replace(0, 4, std::string(4, '\0'));
    Seed("ndx", "root_0.ndx", damaged);
    damaged = bytes;
    const std::size_t root = (std::uint8_t(bytes[0]) | std::uint8_t(bytes[1]) << 8) * 512u;
    if (root + 2 <= damaged.size()) damaged.replace(root, 2, "\xff\xff");
    Seed("ndx", "root_count_65535.ndx", damaged);
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) return 2;
  corpus = argv[1];
  ConfigAndSession();
  BlockFile();
  Tables();
  return 0;
}
