// The table the xBase benchmarks read: `records` records of a 20-character name, with
// `keySpread` different names, and an amount, written straight into the file (appends are not
// what is measured), opened in the current work area. Made in a private directory that is
// removed at exit; returns that directory.
#pragma once

#include <stdlib.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "xbase/ndx_sets.h"
#include "xbase/work_areas.h"
#include "xbase/xbase_errors.h"
#include "xbase/xbase_expr_compiler.h"

inline std::string MakeBenchTable(int records, long long keySpread) {
  static std::string made;
  char pattern[] = "/tmp/vuko-table-bench-XXXXXX";
  made = mkdtemp(pattern);
  InitXbaseCore();
  InstallParserHooks();
  IndexInit();
  SetErrorHandling(false);
  const std::vector<TFieldSpec> fields = {{"NAME", 'C', 20, 0}, {"AMOUNT", 'N', 12, 2}};
  const std::string table = made + "/big.dbf";
  CreateDbf(table, fields, 0x03, true);
  CloseAll();
  std::fstream f(table, std::ios::in | std::ios::out | std::ios::binary);
  unsigned char head[32];
  f.read(reinterpret_cast<char*>(head), 32);
  const int headerLength = head[8] | head[9] << 8;
  std::string data;
  data.reserve(33u * static_cast<unsigned>(records) + 1);
  for (int i = 1; i <= records; ++i) {
    char rec[40];
    std::snprintf(rec, sizeof rec, " CUSTOMER%06d      %12.2f",
                  static_cast<int>((i * 7919LL) % keySpread), ((i * 104729LL) % 1000003) / 100.0);
    data.append(rec, 33);
  }
  data += '\x1A';
  f.seekp(headerLength);
  f.write(data.data(), static_cast<std::streamsize>(data.size()));
  const unsigned char count[4] = {static_cast<unsigned char>(records & 0xFF),
                                  static_cast<unsigned char>((records >> 8) & 0xFF),
                                  static_cast<unsigned char>((records >> 16) & 0xFF), 0};
  f.seekp(4);
  f.write(reinterpret_cast<const char*>(count), 4);
  f.close();
  UseDbf(table, true);
  std::atexit([] { std::filesystem::remove_all(made); });
  return made;
}
