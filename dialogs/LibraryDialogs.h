#pragma once
// Makes the library handlers' windows this module's dialogs: the Database Manager that
// CMSAccessDBHandler::DatabaseManager opens, and the password dialogs.

void InstallLibraryDialogs();
