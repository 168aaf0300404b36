// The main program as the end-to-end runs start it: the same program, with
// its message boxes answered from FORMDESK_SCRIPTED_ANSWERS (default buttons
// when it is empty) and written to standard error for the run to read.
#include "programa.h"
#include "pruebas/guion.h"

int main(int argc, char** argv) {
    pruebas::RespuestasDelEntorno("FORMDESK_SCRIPTED_ANSWERS");
    return formdesk::Principal(argc, argv);
}
