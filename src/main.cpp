// vuko: calculates and draws involute spline joints.
#include "common/message_list.h"
#include "common/program_state.h"

int main(int argc, char** argv) {
  (void)argc;
  (void)argv;
  // Stage 1: every module sets its defaults in memory, lower modules of the uses tree first.
  InitProgramState();
  InitMessageList();
  return 0;
}
