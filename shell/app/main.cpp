#include "shell/forms/arranque.h"

int main(int argc, char** argv) {
    return shell::forms::Main(argc, argv);
}
