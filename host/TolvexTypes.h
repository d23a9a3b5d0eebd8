/*
 * Tolvex29: the records and entry points that cross the boundary between a
 * point-of-sale host and the card library. Usable from C and C++.
 *
 * Records are packed and little-endian; every field offset is part of the
 * interface and checked below. The host owns every record and buffer; the
 * library writes only the fields its calls fill and never touches the first two
 * bytes of a record.
 *
 * Calling convention: stdcall on 32-bit Windows (the callee pops its arguments;
 * a 64-bit argument takes two 4-byte slots), the platform's C convention elsewhere.
 *
 * Module: "Tolvex29.dll" exports, by name and by ordinal,
 *   1 FindEmail, 2 GetCardImageEx, 3 TransactionsEx, 4 GetCardInfoEx;
 * "Tolvex29.so" exports the same four names and nothing else.
 *
 * Result codes: GetCardInfoEx 0 found, 1 not found; TransactionsEx 0 processed,
 * 1 some matched scenario element asked for failure; GetCardImageEx 0 found (or
 * card 0), 1 not found; FindEmail 0 found or failed, 1 not found.
 *
 * Output texts (OutBuf/OutLen of GetCardInfoEx and TransactionsEx) belong to the
 * library: NUL-terminated, never null, valid until the next call of the same
 * export or until the library is unloaded. Do not free or change them.
 *
 * Failures: GetCardInfoEx, TransactionsEx and GetCardImageEx return no result
 * when they fail (missing or malformed in.xml, missing Root element, unreadable
 * attribute value, a null pointer where the call must read or write):
 *   - on Windows the call raises the structured exception TOLVEX_FAILURE_CODE
 *     (0xE0544C58, non-continuable) with two parameters:
 *     ExceptionInformation[0] is the class name and ExceptionInformation[1] the
 *     message, both NUL-terminated 8-bit strings, valid until the next failure
 *     on the same thread;
 *   - elsewhere a C++ exception derived from std::exception leaves the call;
 *     what() is the message and the exception's dynamic type names the class
 *     (for example Platform::EFOpenError).
 * FindEmail never fails: it returns 0.
 */
#ifndef TOLVEX_TYPES_H
#define TOLVEX_TYPES_H

#include <stddef.h>
#include <stdint.h>

#if defined(_WIN32)
#define TOLVEX_CALL __stdcall
#define TOLVEX_EXPORT /* the module definition file exports the four calls */
#else
#define TOLVEX_CALL
#define TOLVEX_EXPORT __attribute__((visibility("default")))
#endif

#define TOLVEX_FAILURE_CODE 0xE0544C58UL

#ifdef __cplusplus
#define TOLVEX_STATIC_ASSERT static_assert
extern "C" {
#else
#define TOLVEX_STATIC_ASSERT _Static_assert
#endif

#pragma pack(push, 1)

/* Card information, written by GetCardInfoEx. */
typedef struct TCardInfoRec {
    uint8_t HostReserved0[2];
    uint8_t Deleted; /* Boolean: 0 false, 1 true */
    uint8_t Seize;
    uint8_t HostReserved4[3];
    uint8_t Locked;
    char WhyLock[256]; /* at most 255 characters and a NUL */
    char Holder[48];   /* at most 40 characters and a NUL */
    int32_t Account;
    int32_t Unpay;
    int16_t Bonus;
    int16_t Discount;
    int64_t DiscLimit;
    int64_t Summa;
    int64_t Sum2;
    int64_t Sum3;
    int64_t Sum4;
    int64_t Sum5;
    int64_t Sum6;
    int64_t Sum7;
    int64_t Sum8;
    char DopInfo[256];
    char ScrMessage[256];
    char PrnMessage[256];
} TCardInfoRec;

/* One VAT entry of a transaction: amount and rate in hundredths. */
typedef struct TVatEntry {
    int64_t Sum;
    uint16_t Rate;
} TVatEntry;

/* One transaction, read by TransactionsEx. */
typedef struct TTransactionRec {
    uint8_t HostReserved0[2];
    int64_t CardCode;
    uint8_t HostReserved10[8];
    uint32_t Account;
    uint8_t Kind;
    int64_t Summa; /* hundredths of the currency unit */
    uint16_t Rest;
    uint32_t Date; /* days since 30 December 1899 */
    uint8_t Unit;
    int32_t Check;
    TVatEntry Vat[3];
} TTransactionRec;

/* The card's image file, written by GetCardImageEx. */
typedef struct TCardImageRec {
    uint8_t HostReserved0[2];
    char FileName[256];
} TCardImageRec;

/* The card found by e-mail, written by FindEmail. */
typedef struct TEmailCardRec {
    uint8_t HostReserved0[2];
    int32_t Account;
    int64_t CardCode;
    char Name[41];
} TEmailCardRec;

#pragma pack(pop)

TOLVEX_STATIC_ASSERT(offsetof(TCardInfoRec, Deleted) == 2, "TCardInfoRec.Deleted");
TOLVEX_STATIC_ASSERT(offsetof(TCardInfoRec, Seize) == 3, "TCardInfoRec.Seize");
TOLVEX_STATIC_ASSERT(offsetof(TCardInfoRec, Locked) == 7, "TCardInfoRec.Locked");
TOLVEX_STATIC_ASSERT(offsetof(TCardInfoRec, WhyLock) == 8, "TCardInfoRec.WhyLock");
TOLVEX_STATIC_ASSERT(offsetof(TCardInfoRec, Holder) == 264, "TCardInfoRec.Holder");
TOLVEX_STATIC_ASSERT(offsetof(TCardInfoRec, Account) == 312, "TCardInfoRec.Account");
TOLVEX_STATIC_ASSERT(offsetof(TCardInfoRec, Unpay) == 316, "TCardInfoRec.Unpay");
TOLVEX_STATIC_ASSERT(offsetof(TCardInfoRec, Bonus) == 320, "TCardInfoRec.Bonus");
TOLVEX_STATIC_ASSERT(offsetof(TCardInfoRec, Discount) == 322, "TCardInfoRec.Discount");
TOLVEX_STATIC_ASSERT(offsetof(TCardInfoRec, DiscLimit) == 324, "TCardInfoRec.DiscLimit");
TOLVEX_STATIC_ASSERT(offsetof(TCardInfoRec, Summa) == 332, "TCardInfoRec.Summa");
TOLVEX_STATIC_ASSERT(offsetof(TCardInfoRec, Sum2) == 340, "TCardInfoRec.Sum2");
TOLVEX_STATIC_ASSERT(offsetof(TCardInfoRec, Sum3) == 348, "TCardInfoRec.Sum3");
TOLVEX_STATIC_ASSERT(offsetof(TCardInfoRec, Sum4) == 356, "TCardInfoRec.Sum4");
TOLVEX_STATIC_ASSERT(offsetof(TCardInfoRec, Sum5) == 364, "TCardInfoRec.Sum5");
TOLVEX_STATIC_ASSERT(offsetof(TCardInfoRec, Sum6) == 372, "TCardInfoRec.Sum6");
TOLVEX_STATIC_ASSERT(offsetof(TCardInfoRec, Sum7) == 380, "TCardInfoRec.Sum7");
TOLVEX_STATIC_ASSERT(offsetof(TCardInfoRec, Sum8) == 388, "TCardInfoRec.Sum8");
TOLVEX_STATIC_ASSERT(offsetof(TCardInfoRec, DopInfo) == 396, "TCardInfoRec.DopInfo");
TOLVEX_STATIC_ASSERT(offsetof(TCardInfoRec, ScrMessage) == 652, "TCardInfoRec.ScrMessage");
TOLVEX_STATIC_ASSERT(offsetof(TCardInfoRec, PrnMessage) == 908, "TCardInfoRec.PrnMessage");
TOLVEX_STATIC_ASSERT(sizeof(TCardInfoRec) == 1164, "TCardInfoRec size");

TOLVEX_STATIC_ASSERT(offsetof(TVatEntry, Sum) == 0, "TVatEntry.Sum");
TOLVEX_STATIC_ASSERT(offsetof(TVatEntry, Rate) == 8, "TVatEntry.Rate");
TOLVEX_STATIC_ASSERT(sizeof(TVatEntry) == 10, "TVatEntry size");

TOLVEX_STATIC_ASSERT(offsetof(TTransactionRec, CardCode) == 2, "TTransactionRec.CardCode");
TOLVEX_STATIC_ASSERT(offsetof(TTransactionRec, Account) == 18, "TTransactionRec.Account");
TOLVEX_STATIC_ASSERT(offsetof(TTransactionRec, Kind) == 22, "TTransactionRec.Kind");
TOLVEX_STATIC_ASSERT(offsetof(TTransactionRec, Summa) == 23, "TTransactionRec.Summa");
TOLVEX_STATIC_ASSERT(offsetof(TTransactionRec, Rest) == 31, "TTransactionRec.Rest");
TOLVEX_STATIC_ASSERT(offsetof(TTransactionRec, Date) == 33, "TTransactionRec.Date");
TOLVEX_STATIC_ASSERT(offsetof(TTransactionRec, Unit) == 37, "TTransactionRec.Unit");
TOLVEX_STATIC_ASSERT(offsetof(TTransactionRec, Check) == 38, "TTransactionRec.Check");
TOLVEX_STATIC_ASSERT(offsetof(TTransactionRec, Vat) == 42, "TTransactionRec.Vat");
TOLVEX_STATIC_ASSERT(sizeof(TTransactionRec) == 72, "TTransactionRec size");

TOLVEX_STATIC_ASSERT(offsetof(TCardImageRec, FileName) == 2, "TCardImageRec.FileName");
TOLVEX_STATIC_ASSERT(sizeof(TCardImageRec) == 258, "TCardImageRec size");

TOLVEX_STATIC_ASSERT(offsetof(TEmailCardRec, Account) == 2, "TEmailCardRec.Account");
TOLVEX_STATIC_ASSERT(offsetof(TEmailCardRec, CardCode) == 6, "TEmailCardRec.CardCode");
TOLVEX_STATIC_ASSERT(offsetof(TEmailCardRec, Name) == 14, "TEmailCardRec.Name");
TOLVEX_STATIC_ASSERT(sizeof(TEmailCardRec) == 55, "TEmailCardRec size");

/* The four entry points. */
TOLVEX_EXPORT int32_t TOLVEX_CALL GetCardInfoEx(int64_t CardCode, int32_t Rest, int32_t Unit,
                                                TCardInfoRec* Info, const void* InpBuf,
                                                uint32_t InpLen, uint16_t InpKind,
                                                const char** OutBuf, int32_t* OutLen,
                                                int16_t* OutKind);
TOLVEX_EXPORT int32_t TOLVEX_CALL TransactionsEx(int32_t Count, TTransactionRec* const* Transactions,
                                                 const void* InpBuf, uint32_t InpLen,
                                                 uint16_t InpKind, const char** OutBuf,
                                                 int32_t* OutLen, int16_t* OutKind);
TOLVEX_EXPORT int32_t TOLVEX_CALL GetCardImageEx(int64_t CardCode, TCardImageRec* Rec);
TOLVEX_EXPORT int32_t TOLVEX_CALL FindEmail(const char* Email, TEmailCardRec* Rec);

/* The same as pointer types, for hosts that load the library at run time. */
typedef int32_t(TOLVEX_CALL* TGetCardInfoEx)(int64_t, int32_t, int32_t, TCardInfoRec*, const void*,
                                             uint32_t, uint16_t, const char**, int32_t*, int16_t*);
typedef int32_t(TOLVEX_CALL* TTransactionsEx)(int32_t, TTransactionRec* const*, const void*,
                                              uint32_t, uint16_t, const char**, int32_t*,
                                              int16_t*);
typedef int32_t(TOLVEX_CALL* TGetCardImageEx)(int64_t, TCardImageRec*);
typedef int32_t(TOLVEX_CALL* TFindEmail)(const char*, TEmailCardRec*);

#ifdef __cplusplus
}
#endif

#endif /* TOLVEX_TYPES_H */
