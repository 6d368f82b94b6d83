// vuko: calculates and draws involute spline joints.
int main(int argc, char** argv) {
  (void)argc;
  (void)argv;
  return 0;
}
