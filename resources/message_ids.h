// Identifiers of the launcher's message catalogue. Plain defines so that the
// resource compiler can read this file as well as the C++ compiler.
#ifndef LAUNCHER_RESOURCES_MESSAGE_IDS_H_
#define LAUNCHER_RESOURCES_MESSAGE_IDS_H_

#define IDS_MissingINI 1
#define IDS_ERROR_NOGTK 26
#define IDS_USAGE 2004
#define IDS_USAGE_CONTENT 2005
#define IDS_ERROR 2006
#define IDS_MESSAGE 2010

#endif  // LAUNCHER_RESOURCES_MESSAGE_IDS_H_
