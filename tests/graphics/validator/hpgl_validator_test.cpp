// The HP-GL/2 viewer against hp2xx, an independent interpreter: for each fixture (one command
// family per file) hp2xx writes a true-size DXF whose line segments must agree with what our
// viewer put into the display list within one plotter unit (0.025 mm). hp2xx approximates
// arcs and circles by chords, so their vertices must lie on our arcs and circles.
#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "common/graphics_settings.h"
#include "common/program_state.h"
#include "common/scripted_dialog_host.h"
#include "graphics/display_list.h"
#include "graphics/graphics_facade.h"
#include "graphics/graphics_window.h"
#include "graphics/hpgl_viewer.h"
#include "graphics/view_control.h"
#include "validator_support.h"

extern char** environ;

namespace {

namespace fs = std::filesystem;
constexpr double kTolerance = 0.025;  // mm, one plotter unit
constexpr double kPi = 3.14159265358979323846;

struct Seg {
  double x1, y1, x2, y2;
  int colour;
  bool used = false;
};
struct Curve {  // circle (sweep 360) or counterclockwise arc
  double cx, cy, r, start, sweep;
};

bool Near(double ax, double ay, double bx, double by) {
  return std::hypot(ax - bx, ay - by) <= kTolerance;
}

bool RunProgram(const std::vector<std::string>& args) {
  std::vector<char*> argv;
  for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  pid_t pid;
  if (posix_spawnp(&pid, argv[0], nullptr, nullptr, argv.data(), environ) != 0) return false;
  int status = 0;
  waitpid(pid, &status, 0);
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

// hp2xx with its output file named relative to the temporary folder: it keeps that name in a
// buffer of about 100 characters, which a deep temporary folder would overrun.
bool RunHp2xx(const char* mode, const fs::path& output, const fs::path& plt) {
  return RunProgram({"sh", "-c", "cd \"$0\" && exec hp2xx -q -t -m \"$1\" -f \"$2\" \"$3\"",
                     output.parent_path().string(), mode, output.filename().string(),
                     plt.string()});
}

bool Hp2xxInstalled() {
  return RunProgram({"sh", "-c", "command -v hp2xx >/dev/null"});
}

// LINE entities of a DXF file: group code / value pairs, the codes 10, 20, 11, 21 and 62.
std::vector<Seg> ReadDxfLines(const fs::path& file) {
  std::ifstream in(file);
  std::vector<std::string> lines;
  for (std::string l; std::getline(in, l);) {
    while (!l.empty() && (l.back() == '\r' || l.back() == ' ')) l.pop_back();
    while (!l.empty() && l.front() == ' ') l.erase(0, 1);
    lines.push_back(l);
  }
  std::vector<Seg> segs;
  bool inLine = false;
  Seg s{};
  for (std::size_t i = 0; i + 1 < lines.size(); i += 2) {
    const std::string& code = lines[i];
    const std::string& value = lines[i + 1];
    if (code == "0") {
      if (inLine) segs.push_back(s);
      inLine = value == "LINE";
      s = Seg{};
    } else if (inLine) {
      const double v = std::strtod(value.c_str(), nullptr);
      if (code == "10") s.x1 = v;
      if (code == "20") s.y1 = v;
      if (code == "11") s.x2 = v;
      if (code == "21") s.y2 = v;
      if (code == "62") s.colour = static_cast<int>(v);
    }
  }
  if (inLine) segs.push_back(s);
  return segs;
}

// Pen of each vector from hp2xx's own simplified HP-GL output ("SPn;", "PUx,y;", "PDx,y;" in
// plotter units, not moved), since its DXF carries no pen colours.
std::vector<Seg> ReadHp2xxPens(const fs::path& file) {
  std::ifstream in(file);
  std::stringstream all;
  all << in.rdbuf();
  std::vector<Seg> segs;
  int pen = 0;
  double x = 0, y = 0;
  std::string cmd;
  while (std::getline(all, cmd, ';')) {
    while (!cmd.empty() && std::isspace(static_cast<unsigned char>(cmd.front()))) cmd.erase(0, 1);
    if (cmd.size() < 2) continue;
    const std::string op = cmd.substr(0, 2), args = cmd.substr(2);
    if (op == "SP") pen = std::atoi(args.c_str());
    if ((op == "PU" || op == "PD") && !args.empty()) {
      double nx = 0, ny = 0;
      if (std::sscanf(args.c_str(), "%lf,%lf", &nx, &ny) != 2) continue;
      nx *= kTolerance;
      ny *= kTolerance;
      if (op == "PD") segs.push_back({x, y, nx, ny, pen});
      x = nx;
      y = ny;
    }
  }
  return segs;
}

int PenOf(const std::vector<Seg>& pens, double x1, double y1, double x2, double y2) {
  for (const Seg& p : pens)
    if ((Near(p.x1, p.y1, x1, y1) && Near(p.x2, p.y2, x2, y2)) ||
        (Near(p.x1, p.y1, x2, y2) && Near(p.x2, p.y2, x1, y1)))
      return p.colour;
  return -1;
}

class HpglAgainstHp2xx : public ::testing::TestWithParam<const char*> {
 protected:
  void SetUp() override {
    REQUIRE_OR_SKIP(Hp2xxInstalled(), "hp2xx is not installed", "hp2xx is not installed");
    ResetProgramStateForTests();
    InitGraphicsSettings();
    InitViewState();
    InitHpglState();
    ProgramSettings.ScreenWidth = 640;
    ProgramSettings.ScreenHeight = 480;
    host_ = std::make_unique<ScriptedDialogHost>();
    facade_ = std::make_unique<TGraphicsFacade>();
    window_ = std::make_unique<TGraphicsWindow>();
    window_->FormCreate();
    GraphicsWindowInstance = window_.get();
  }
  void TearDown() override { GraphicsWindowInstance = nullptr; }

  // Our picture: lines with their colours, arcs and circles.
  void OurPicture(const fs::path& plt, std::vector<Seg>& lines, std::vector<Curve>& curves,
                  std::vector<int>& curveColours) {
    facade_->GrHeader(0, 0, 160, 120);
    facade_->GrClear();
    ShowHpglFile(plt.string());
    int colour = -1;
    for (std::size_t i = 0; i < DisplayList->Count(); ++i) {
      const auto r = DisplayList->Record(i);
      const double* v = r.values;
      if (r.op == TDisplayOp::Colour) colour = static_cast<int>(v[0]);
      if (r.op == TDisplayOp::Line) lines.push_back({v[0], v[1], v[2], v[3], colour});
      if (r.op == TDisplayOp::Circle) {
        curves.push_back({v[0], v[1], v[2], 0, 360});
        curveColours.push_back(colour);
      }
      if (r.op == TDisplayOp::Arc) {
        const double cx = (v[0] + v[2]) / 2, cy = (v[1] + v[3]) / 2, rad = (v[2] - v[0]) / 2;
        const double a0 = std::atan2(v[5] - cy, v[4] - cx) * 180 / kPi;
        double sweep = std::atan2(v[7] - cy, v[6] - cx) * 180 / kPi - a0;
        while (sweep <= 0) sweep += 360;
        curves.push_back({cx, cy, rad, a0, sweep});
        curveColours.push_back(colour);
      }
    }
  }

  std::unique_ptr<ScriptedDialogHost> host_;
  std::unique_ptr<TGraphicsFacade> facade_;
  std::unique_ptr<TGraphicsWindow> window_;
};

bool OnCurve(const Curve& c, double x, double y) {
  if (std::fabs(std::hypot(x - c.cx, y - c.cy) - c.r) > kTolerance) return false;
  if (c.sweep >= 360) return true;
  double a = std::atan2(y - c.cy, x - c.cx) * 180 / kPi - c.start;
  while (a < 0) a += 360;
  while (a >= 360) a -= 360;
  const double slack = kTolerance / c.r * 180 / kPi;
  return a <= c.sweep + slack || a >= 360 - slack;
}

TEST_P(HpglAgainstHp2xx, SegmentsAgree) {
  const fs::path plt = fs::path(VUKO_TEST_DATA_DIR) / "hpgl" / GetParam();
  const fs::path dxf =
      fs::temp_directory_path() /
      (std::string("vuko_hp2xx_") + std::to_string(getpid()) + "_" + GetParam() + ".dxf");
  ASSERT_TRUE(RunHp2xx("dxf", dxf, plt));
  std::vector<Seg> ref = ReadDxfLines(dxf);
  fs::remove(dxf);
  ASSERT_FALSE(ref.empty());
  const fs::path simple = fs::path(dxf).replace_extension(".hpgl");
  ASSERT_TRUE(RunHp2xx("hpgl", simple, plt));
  const std::vector<Seg> pens = ReadHp2xxPens(simple);
  fs::remove(simple);

  std::vector<Seg> ours;
  std::vector<Curve> curves;
  std::vector<int> curveColours;
  OurPicture(plt, ours, curves, curveColours);

  // Every line of ours is one hp2xx segment, in the colour of its pen.
  for (const Seg& s : ours) {
    if (Near(s.x1, s.y1, s.x2, s.y2)) continue;  // nothing to see
    bool found = false;
    for (Seg& r : ref) {
      if (r.used) continue;
      if ((Near(s.x1, s.y1, r.x1, r.y1) && Near(s.x2, s.y2, r.x2, r.y2)) ||
          (Near(s.x1, s.y1, r.x2, r.y2) && Near(s.x2, s.y2, r.x1, r.y1))) {
        const int pen = PenOf(pens, s.x1, s.y1, s.x2, s.y2);
        EXPECT_EQ(s.colour, HpglColour(pen))
            << GetParam() << ": pen " << pen << " at " << s.x1 << "," << s.y1;
        r.used = found = true;
        break;
      }
    }
    EXPECT_TRUE(found) << GetParam() << ": our line " << s.x1 << "," << s.y1 << " - " << s.x2 << ","
                       << s.y2 << " is not in hp2xx's picture";
  }
  // hp2xx's other segments are chords of our arcs and circles.
  std::vector<int> chordsPerCurve(curves.size(), 0);
  for (const Seg& r : ref) {
    if (r.used) continue;
    bool on = false;
    for (std::size_t k = 0; k < curves.size() && !on; ++k) {
      if (OnCurve(curves[k], r.x1, r.y1) && OnCurve(curves[k], r.x2, r.y2)) {
        ++chordsPerCurve[k];
        on = true;
      }
    }
    EXPECT_TRUE(on) << GetParam() << ": hp2xx segment " << r.x1 << "," << r.y1 << " - " << r.x2
                    << "," << r.y2 << " is not in our picture";
  }
  // Each arc and circle of ours is drawn by hp2xx too, end points included.
  for (std::size_t k = 0; k < curves.size(); ++k) {
    EXPECT_GE(chordsPerCurve[k], 3) << GetParam() << ": curve " << k;
    const Curve& c = curves[k];
    if (c.sweep >= 360) continue;
    for (double a : {c.start, c.start + c.sweep}) {
      const double x = c.cx + c.r * std::cos(a * kPi / 180),
                   y = c.cy + c.r * std::sin(a * kPi / 180);
      bool hit = false;
      for (const Seg& r : ref) hit = hit || Near(r.x1, r.y1, x, y) || Near(r.x2, r.y2, x, y);
      EXPECT_TRUE(hit) << GetParam() << ": arc end " << x << "," << y;
    }
  }
}

// Every fixture holds the point (0, 0) and nothing below or left of it, because hp2xx moves
// the picture's lower left corner to the origin.
INSTANTIATE_TEST_SUITE_P(Fixtures, HpglAgainstHp2xx,
                         ::testing::Values("lines.plt", "pens.plt", "case.plt", "circles.plt",
                                           "arcs.plt", "pe8.plt", "pe7.plt", "noeol.plt",
                                           "compact.plt"),
                         [](const auto& info) {
                           std::string n = info.param;
                           return n.substr(0, n.find('.'));
                         });

}  // namespace
