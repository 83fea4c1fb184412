/* setupxfer: moves a restaurant application's setup data between its database
 * and Excel workbooks. The exported functions of the library.
 *
 * Every transfer function returns 1 on success and 0 on failure; on failure
 * the caller's error text buffer (at least 251 bytes) receives at most 250
 * bytes of the message and a NUL. Strings are UTF-8 off Windows and in the
 * system's ANSI code page on Windows. */
#ifndef SETUPXFER_H
#define SETUPXFER_H

#if defined(_WIN32)
#  define SX_CALL __stdcall
#  if defined(SETUPXFER_BUILDING)
#    define SX_API __declspec(dllexport)
#  else
#    define SX_API __declspec(dllimport)
#  endif
#else
#  define SX_CALL
#  define SX_API __attribute__((visibility("default")))
#endif

#ifdef __cplusplus
extern "C" {
#endif

typedef unsigned char SxBool;

/* The four shapes of transfer functions. */
#define SX_STORE_EXPORT(name) SX_API SxBool SX_CALL name(const char* connection, char* errorText)
#define SX_GROUP_EXPORT(name) \
  SX_API SxBool SX_CALL name(const char* connection, const char* brandId, char* errorText)
#define SX_STORE_IMPORT(name) \
  SX_API SxBool SX_CALL name(const char* connection, const char* fileName, char* errorText)
#define SX_GROUP_IMPORT(name)                                                              \
  SX_API SxBool SX_CALL name(const char* connection, const char* brandId, const char* fileName, \
                             char* errorText)

/* The window that owns the library's prompt and log window. */
SX_API void SX_CALL SetApplicationHandle(void* handle);

/* For hosts that are not Windows programs. A null function restores the default.
 * Log kinds: 0 an information line, 1 an error line (text carries "错误:"),
 * 2 the import has finished (empty text). */
SX_API void SX_CALL SetLogHandler(void (*fn)(void* context, int kind, const char* text),
                                  void* context);
/* Answers the schema version prompt; non-zero is Yes. */
SX_API void SX_CALL SetConfirmHandler(int (*fn)(void* context, const char* caption,
                                                const char* text),
                                      void* context);
/* Receives the path of the workbook an export hands over to the user. */
SX_API void SX_CALL SetWorkbookHandler(void (*fn)(void* context, const char* path),
                                       void* context);
/* For debugging on site: from now on, every statement sent to the database,
 * its parameter values (never a password) and the rows it read or affected
 * are written to the file at path, which is created or emptied. A null or
 * empty path ends the trace. Returns 0 when the file cannot be written. */
SX_API SxBool SX_CALL SetTraceFile(const char* path);

/* Receives, after every import call, what the import did as JSON text (UTF-8
 * on every platform): "file", "kind" (the kind's name in lower case, e.g.
 * "backreason"), "edition" ("store" or "group"), "brand", "checkOnly",
 * "start" and "end" ("YYYY-MM-DD HH:NN:SS", local time), "done" (the call's
 * result) and "message" (its failure message); "items", each with "key",
 * "line" (its log line), "written" and "messages" (the errors logged while
 * writing it); "rejectedRows", each with "row" and "message"; "otherErrors";
 * and "totals" with "items", "written", "failed", "rejectedRows" and
 * "otherErrors". In check-only mode "written" means it would have been. */
SX_API void SX_CALL SetReportHandler(void (*fn)(void* context, const char* json), void* context);

/* Check-only imports: while non-zero, every import reads its workbook, checks
 * every row and runs every statement of every item (download stamps too) as a
 * real import does, then undoes all of it, so the database is left as it was.
 * An item sees the items before it as written. The log is the real import's
 * with one more line, "检查模式：未写入任何数据", before "完毕!"; the result is
 * the real import's. Stays set until SetCheckOnly(0); exports are unaffected. */
SX_API void SX_CALL SetCheckOnly(int on);

/* The transfer functions, one family per kind of data. A kind that this
 * version does not provide yet answers 0 with "<kind> is not available in
 * this version" and touches nothing. */

/* Set meals: their dishes, plans and branches. */
SX_STORE_EXPORT(ExportMenuSuite);
SX_GROUP_EXPORT(ExportGroupMenuSuite);
SX_STORE_IMPORT(ImportMenuSuite);
SX_GROUP_IMPORT(ImportGroupMenuSuite);

/* Discount types and their discount lines. */
SX_STORE_EXPORT(ExportCardType);
SX_GROUP_EXPORT(ExportGroupCardType);
SX_STORE_IMPORT(ImportCardType);
SX_GROUP_IMPORT(ImportGroupCardType);

/* Payment subjects (second-level subjects). */
SX_STORE_EXPORT(ExportSubject2);
SX_GROUP_EXPORT(ExportGroupSubject2);
SX_STORE_IMPORT(ImportSubject2);
SX_GROUP_IMPORT(ImportGroupSubject2);

/* Rooms and tables, gift dish control, minimum charges: store database only. */
SX_STORE_EXPORT(ExportRoomTables);
SX_STORE_IMPORT(ImportRoomTables);
SX_STORE_EXPORT(ExportGiftDishControl);
SX_STORE_IMPORT(ImportGiftDishControl);
SX_STORE_EXPORT(ExportLowestPay);
SX_STORE_IMPORT(ImportLowestPay);

/* Time plans and price plans. */
SX_STORE_EXPORT(ExportPricePlan);
SX_GROUP_EXPORT(ExportGroupPricePlan);
SX_STORE_IMPORT(ImportPricePlan);
SX_GROUP_IMPORT(ImportGroupPricePlan);

/* Store items: item families, item types and stock items. */
SX_STORE_EXPORT(ExportStoreItems);
SX_GROUP_EXPORT(ExportGroupStoreItems);
SX_STORE_IMPORT(ImportStoreItems);
SX_GROUP_IMPORT(ImportGroupStoreItems);

/* Cost cards of dishes. */
SX_STORE_EXPORT(ExportBOM);
SX_GROUP_EXPORT(ExportGroupBOM);
SX_STORE_IMPORT(ImportBOM);
SX_GROUP_IMPORT(ImportGroupBOM);

/* Menu items: menu types and their dishes. */
SX_STORE_EXPORT(ExportMenu);
SX_GROUP_EXPORT(ExportGroupMenu);
SX_STORE_IMPORT(ImportMenu);
SX_GROUP_IMPORT(ImportGroupMenu);

/* Reason lists: return, gift and reprice reasons. */
SX_STORE_EXPORT(ExportBackReason);
SX_GROUP_EXPORT(ExportGroupBackReason);
SX_STORE_IMPORT(ImportBackReason);
SX_GROUP_IMPORT(ImportGroupBackReason);
SX_STORE_EXPORT(ExportGiftReason);
SX_GROUP_EXPORT(ExportGroupGiftReason);
SX_STORE_IMPORT(ImportGiftReason);
SX_GROUP_IMPORT(ImportGroupGiftReason);
SX_STORE_EXPORT(ExportRepriceReason);
SX_GROUP_EXPORT(ExportGroupRepriceReason);
SX_STORE_IMPORT(ImportRepriceReason);
SX_GROUP_IMPORT(ImportGroupRepriceReason);

/* Remarks: guest requests, public, per menu type and per menu item. */
SX_STORE_EXPORT(ExportRemark);
SX_GROUP_EXPORT(ExportGroupRemark);
SX_STORE_IMPORT(ImportRemark);
SX_GROUP_IMPORT(ImportGroupRemark);

/* Departments and users (the group functions end in Dept). */
SX_STORE_EXPORT(ExportDeptUsers);
SX_GROUP_EXPORT(ExportGroupDept);
SX_STORE_IMPORT(ImportDeptUsers);
SX_GROUP_IMPORT(ImportGroupDept);

/* Shifts and time sections. */
SX_STORE_EXPORT(ExportShift);
SX_GROUP_EXPORT(ExportGroupShift);
SX_STORE_IMPORT(ImportShift);
SX_GROUP_IMPORT(ImportGroupShift);

#ifdef __cplusplus
}
#endif

#endif /* SETUPXFER_H */
