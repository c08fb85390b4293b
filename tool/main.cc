#include "devconfig/jsonhelpers.h"
#include "tool/pipeline.h"

int main(int argc, char** argv) {
  // The process ends with the run: the trees it is done with are left to
  // the end of the process rather than freed node by node.
  JsonLeaveTreesToExit();
  return RunTool(argc, argv);
}
