#include "programa.h"

int main(int argc, char** argv) {
    return formdesk::Principal(argc, argv);
}
