#include "cli/run.h"

int main(int argc, char **argv) {
  return cli::Run(argc, argv);
}
