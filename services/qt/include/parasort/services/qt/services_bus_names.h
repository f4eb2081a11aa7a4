// Where the services live on the D-Bus session bus. These names are written
// here only: the build reads them from this file for the interface XML, the
// D-Bus activation file and the desktop entry, so keep each definition on one
// line in the form `inline constexpr char name[] = "value";`.
#pragma once

namespace parasort::services_bus {

// The well-known name that the running application claims.
inline constexpr char busName[] = "io.github.parasort.Parasort";

// The path of the services object.
inline constexpr char objectPath[] = "/io/github/parasort/Parasort";

// The interface with one method per service, named by its message name.
inline constexpr char interfaceName[] = "io.github.parasort.Services";

// The name of the error reply of a failed request; its message is the
// request's failure message ("Unsupported data type", "No String Data").
inline constexpr char failureErrorName[] = "io.github.parasort.Services.Error.RequestFailed";

}  // namespace parasort::services_bus
