// parasort-editor: the editor window and the paragraph services of parasort.
#include "application_main.h"

int main(int argc, char** argv) { return parasort::ApplicationMain(argc, argv); }
