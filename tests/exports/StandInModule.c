/* A module with the four export names but a deliberately wrong export table,
 * one fault per variant, to prove that the export-table check finds each. */
#if defined(_WIN32)
#define STAND_IN_EXPORT
#else
#define STAND_IN_EXPORT __attribute__((visibility("default")))
#endif

#if defined(STAND_IN_IMPORTS_HELPER)
int StandInHelper(void);
#define STAND_IN_BODY StandInHelper()
#else
#define STAND_IN_BODY 0
#endif

STAND_IN_EXPORT int GetCardInfoEx(void) { return STAND_IN_BODY; }
STAND_IN_EXPORT int TransactionsEx(void) { return 0; }
STAND_IN_EXPORT int GetCardImageEx(void) { return 0; }
#if !defined(STAND_IN_WITHOUT_FIND_EMAIL)
STAND_IN_EXPORT int FindEmail(void) { return 0; }
#endif
#if defined(STAND_IN_EXTRA_EXPORT)
STAND_IN_EXPORT int ResetCards(void) { return 0; }
#endif
