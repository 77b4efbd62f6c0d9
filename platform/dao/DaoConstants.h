#pragma once
// DAO's open types, field types, attributes and options, with their DAO values.

#include "platform/afx/AfxTypes.h"

constexpr int AFX_DAO_USE_DEFAULT_TYPE = -1;
constexpr int dbOpenTable = 1;
constexpr int dbOpenDynaset = 2;
constexpr int dbOpenSnapshot = 4;
// A snapshot read row by row from the first to the last, never held whole; not updatable.
constexpr int dbOpenForwardOnly = 8;

// Field types.
constexpr short dbBoolean = 1;
constexpr short dbByte = 2;
constexpr short dbInteger = 3;
constexpr short dbLong = 4;
constexpr short dbSingle = 6;
constexpr short dbDouble = 7;
constexpr short dbDate = 8;
constexpr short dbText = 10;
constexpr short dbLongBinary = 11;
constexpr short dbMemo = 12;

// Field attributes.
constexpr long dbFixedField = 0x1;
constexpr long dbVariableField = 0x2;
constexpr long dbAutoIncrField = 0x10;
constexpr long dbUpdatableField = 0x20;

// Execute options.
constexpr int dbFailOnError = 0x80;

// Field binding options of the DFX_ functions.
constexpr DWORD AFX_DAO_ENABLE_FIELD_CACHE = 0x1;
constexpr DWORD AFX_DAO_DISABLE_FIELD_CACHE = 0x0;
constexpr int AFX_DAO_TEXT_DEFAULT_SIZE = 255;
constexpr int AFX_DAO_BINARY_DEFAULT_SIZE = 2048;

// The locale part of a Create connect string; a database password is appended as ";pwd=...".
constexpr const char* dbLangGeneral = ";LANGID=0x0409;CP=1252;COUNTRY=0";

// MFC's own error numbers in CDaoException::m_nAfxDaoError.
constexpr int NO_AFX_DAO_ERROR = 0;
constexpr int AFX_DAO_ERROR_ENGINE_INITIALIZATION = 1;
constexpr int AFX_DAO_ERROR_DFX_BIND = 2;
constexpr int AFX_DAO_ERROR_OBJECT_NOT_OPEN = 3;

// Jet's error numbers for the failures this layer detects itself (SQLite's errors keep
// SQLite's extended result codes).
constexpr long JET_ERROR_NO_CURRENT_RECORD = 3021;
constexpr long JET_ERROR_UPDATE_WITHOUT_EDIT = 3020;
constexpr long JET_ERROR_READ_ONLY = 3027;
constexpr long JET_ERROR_INVALID_PASSWORD = 3031;
constexpr long JET_ERROR_DATABASE_EXISTS = 3204;
constexpr long JET_ERROR_ITEM_NOT_FOUND = 3265;
constexpr long JET_ERROR_RECORD_DELETED = 3167;
constexpr long JET_ERROR_INVALID_BOOKMARK = 3159;
constexpr long JET_ERROR_NOT_SUPPORTED = 3251;
constexpr long JET_ERROR_OBJECT_NOT_OPEN = 3420;
constexpr long JET_ERROR_TEXT_AFTER_STATEMENT = 3142;
