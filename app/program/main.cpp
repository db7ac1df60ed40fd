// zvaama: the graded-pattern converter's window program.
#include "app/app.h"

int main(int argc, char** argv) {
  CZvAamaApp app;
  if (!app.InitInstance(argc, argv)) return 1;
  return app.Run();
}
