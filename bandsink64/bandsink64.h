/* The exit library that the fax printer driver loads. A driver calls, per
 * document: startDocExit once; for each page startPageExit, then endPageExit
 * once per band (bBanding nonzero for every band but the page's last);
 * finally endDocExit. getVersion and textOutExit may come at any time.
 *
 * The job handle is the address of the driver's own void* variable:
 * startDocExit stores the new job there and endDocExit sets it to NULL. */
#ifndef KORVA_BANDSINK64_H
#define KORVA_BANDSINK64_H

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

#if defined(__GNUC__)
#define BANDSINK64_EXPORT __attribute__((visibility("default")))
#else
#define BANDSINK64_EXPORT
#endif

/* Values of nBitmapFormat. Rows follow each other top first:
 *   1  one bit per pixel, first pixel in the most significant bit, rows
 *      lWidth / 8 bytes apart; a set bit is white, a clear bit black
 *   3  one grey byte per pixel, rows lWidth rounded up to 4 bytes apart
 *   5  three bytes per pixel (R, G, B), rows 3 * lWidth rounded up to 4
 *      bytes apart
 * Other values are accepted and ignored. */
enum { BANDSINK64_MONOCHROME = 1, BANDSINK64_GREY = 3, BANDSINK64_COLOUR = 5 };

/* Results of endPageExit. */
enum {
    BANDSINK64_OK = 0,
    BANDSINK64_NO_TIFF = -1,   /* the print file could not be opened */
    BANDSINK64_ROW_FAILED = -2 /* a row of the page could not be written */
};

/* Always 3. */
BANDSINK64_EXPORT int32_t getVersion(void);

/* Starts a document; the new job is stored in *phJob. Always 0. */
BANDSINK64_EXPORT int32_t startDocExit(uint32_t jobID, const char* pszDocName, void** phJob);

/* Starts a page. Always 0. */
BANDSINK64_EXPORT int32_t startPageExit(void** phJob);

/* Text that the page shows; only logged. Always 0. */
BANDSINK64_EXPORT int16_t textOutExit(const char* text);

/* One band of the current page. Monochrome rows are inverted in place in
 * `bits`, so the buffer holds the stored form afterwards. */
BANDSINK64_EXPORT int32_t endPageExit(uint8_t* bits, int32_t lHeight, int32_t lWidth, int32_t nBitmapFormat,
                                      int32_t nXResolution, int32_t nYResolution, int32_t bBanding, void** phJob);

/* Ends the document, hands the print file over and frees the job; *phJob
 * becomes NULL. 0, or -1 when a printed document was not handed over (its
 * print file stays under its per-job name and the user has been told). */
BANDSINK64_EXPORT int16_t endDocExit(void** phJob);

/* The same functions as pointers, for drivers that load the library with
 * dlopen. */
typedef int32_t (*BandSink64GetVersionFn)(void);
typedef int32_t (*BandSink64StartDocExitFn)(uint32_t, const char*, void**);
typedef int32_t (*BandSink64StartPageExitFn)(void**);
typedef int16_t (*BandSink64TextOutExitFn)(const char*);
typedef int32_t (*BandSink64EndPageExitFn)(uint8_t*, int32_t, int32_t, int32_t, int32_t, int32_t, int32_t, void**);
typedef int16_t (*BandSink64EndDocExitFn)(void**);

#ifdef __cplusplus
}
#endif

#endif
