// The language subsystem's services, registered with the foundation's registry at start-up.
#pragma once

// Registers the makers of the address book, the upload and the download service, the language
// service and the country table. Main thread, before the first Global getter call for them.
void registerLanguageServices();
