// Where the running editor answers on the session bus, beside the services:
// under the services' bus name, at its own object path and interface.
#pragma once

namespace parasort::editor_bus {

// The editor's object; a child of the services' object path.
inline constexpr char objectPath[] = "/io/github/parasort/Parasort/Editor";

// activate(): bring the editor window forward, as a launch of the program
// does while it runs. quit(): close the window, which ends the application.
// openFile(path): open the file at the absolute path in the window.
inline constexpr char interfaceName[] = "io.github.parasort.Editor";

}  // namespace parasort::editor_bus
