// Independent IGES check for the validator tests: loads a file with Open CASCADE, runs its
// syntactic and semantic entity checks, counts entities by type and form, transfers the
// geometry and prints its bounding box. Exit 0 when no check fails.
#include <BRepBndLib.hxx>
#include <Bnd_Box.hxx>
#include <IGESControl_Reader.hxx>
#include <IGESData_GlobalSection.hxx>
#include <IGESData_IGESEntity.hxx>
#include <IGESData_IGESModel.hxx>
#include <Interface_Check.hxx>
#include <Interface_CheckIterator.hxx>
#include <Standard_Failure.hxx>
#include <TopoDS_Shape.hxx>
#include <XSControl_WorkSession.hxx>
#include <iostream>
#include <map>

int main(int argc, char** argv) {
  if (argc != 2) {
    std::cerr << "usage: iges_check FILE\n";
    return 64;
  }
  try {
    IGESControl_Reader reader;
    if (reader.ReadFile(argv[1]) != IFSelect_RetDone) {
      std::cout << "CHECK load FAIL\n";
      return 2;
    }
    Handle(IGESData_IGESModel) model = reader.IGESModel();
    Interface_CheckIterator checks = reader.WS()->ModelCheckList(Standard_True);
    int fails = 0;
    for (checks.Start(); checks.More(); checks.Next()) {
      const Handle(Interface_Check)& check = checks.Value();
      for (Standard_Integer i = 1; i <= check->NbFails(); ++i) {
        ++fails;
        std::cout << "CHECK fail entity " << checks.Number() << ": " << check->CFail(i) << "\n";
      }
      for (Standard_Integer i = 1; i <= check->NbWarnings(); ++i) {
        std::cout << "CHECK warning entity " << checks.Number() << ": " << check->CWarning(i)
                  << "\n";
      }
    }
    std::map<std::pair<int, int>, int> count;
    for (Standard_Integer i = 1; i <= model->NbEntities(); ++i) {
      Handle(IGESData_IGESEntity) e = model->Entity(i);
      ++count[{e->TypeNumber(), e->FormNumber()}];
    }
    const IGESData_GlobalSection& gs = model->GlobalSection();
    std::cout << "CHECK version_flag " << gs.IGESVersion() << " unit_flag " << gs.UnitFlag()
              << " max_coord " << gs.MaxCoord() << "\n";
    for (const auto& [k, n] : count) {
      std::cout << "CHECK entity " << k.first << " " << k.second << " " << n << "\n";
    }
    reader.TransferRoots();
    std::cout << "CHECK shapes " << reader.NbShapes() << "\n";
    Bnd_Box box;
    for (Standard_Integer i = 1; i <= reader.NbShapes(); ++i) {
      BRepBndLib::Add(reader.Shape(i), box);
    }
    if (!box.IsVoid()) {
      Standard_Real x1, y1, z1, x2, y2, z2;
      box.Get(x1, y1, z1, x2, y2, z2);
      std::cout << "CHECK bbox " << x1 << " " << y1 << " " << x2 << " " << y2 << "\n";
    }
    std::cout << "CHECK fails " << fails << "\n";
    return fails == 0 ? 0 : 1;
  } catch (const Standard_Failure& f) {
    std::cout << "CHECK exception " << f.GetMessageString() << "\n";
    return 3;
  }
}
