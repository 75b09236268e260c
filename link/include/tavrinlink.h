/* TavrinLink: the command language of the Tavrin DECT tester and its measurement exports.
 *
 * Every export takes and returns plain integers and zero-terminated strings owned by the
 * caller, never throws, and is not reentrant: call them from one thread at a time. */
#ifndef TAVRINLINK_H
#define TAVRINLINK_H

#include <stdint.h>

#if defined(__GNUC__)
#define TAVRINLINK_API __attribute__((visibility("default")))
#else
#define TAVRINLINK_API
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* The longest answer ZelkRd copies, terminator included: the caller's buffer holds this many. */
#define TAVRINLINK_RESPONSE_SIZE 168

/* Runs a command line ("CMD[;CMD...]"); returns the error count of its last command (0: ok). */
TAVRINLINK_API int16_t ZelkWrt(const char* line);
/* ZelkWrt without its trace line. */
TAVRINLINK_API int16_t vbZelkWrt(const char* line);
/* Copies the pending answer into out (168 characters), empties it; returns its length. */
TAVRINLINK_API int16_t ZelkRd(char* out);
/* ZelkRd without its trace line. */
TAVRINLINK_API int16_t vbZelkRd(char* out);

/* Captures one burst into the sample store; returns the CRC status byte (0: no port chosen). */
TAVRINLINK_API int32_t ForceADCSample(void);
/* ForceADCSample for fixed-form callers: the argument is ignored, the result is always 1. */
TAVRINLINK_API int16_t vbForceADCSample(int32_t ignored);
/* Stored sample's deviation in 0.1 kHz (0xFFFF/0xFFFE: refresh/clear the demodulator offset). */
TAVRINLINK_API int16_t ReadRxValue(uint16_t index);
/* ReadRxValue for fixed-form callers. */
TAVRINLINK_API int16_t vbReadRxValue(uint16_t index);
/* Stored sample's power in 0.1 dBm, 32767 out of range; 8192 to 25000 read an empty record. */
TAVRINLINK_API int16_t ReadPwrValue(uint16_t index);
/* ReadPwrValue for fixed-form callers. */
TAVRINLINK_API int16_t vbReadPwrValue(uint16_t index);
/* Converts count (cut to 9216) deviations from the tester's planes into results; returns 0. */
TAVRINLINK_API int16_t ReadRxValueBlock(uint16_t start, uint16_t count, int16_t* results);
/* Does nothing; returns 0. */
TAVRINLINK_API int16_t _ReadPwrValueBlock(void);

/* Writes a serial number (at most 15 characters) into the bridge EEPROM; 0 when it was written. */
TAVRINLINK_API int16_t SetUSBSerialNumber(const char* serial);

/* Chooses the USB driver for the next port opening: "libftdi" (default), "d2xx", "sim", or the
 * path of a library exporting the eleven D2XX functions. 0 when ready; the previous stays else. */
TAVRINLINK_API int32_t SelectUsbDriver(const char* name);

/* Whether the tester answered the last exchange, from what the library already knows: no
 * tester traffic, so it is cheap to ask after every failed call. A command that returned
 * non-zero while this is TAVRINLINK_TESTER_ANSWERS was refused; any other value means the link
 * failed ("SYST:ERR?" then reads -366 "Target Error"). An exchange that is not answered within
 * 1 s, or that the USB driver fails, ends the call it belongs to: the call's other exchanges
 * fail at once, so a lost tester costs about one second per call. Each new call tries the
 * tester again, and the first answered exchange brings back TAVRINLINK_TESTER_ANSWERS. A
 * real USB device that was unplugged keeps failing after it is plugged in again: choose the
 * port again ("CONF:COMM:PORT USB") to open it anew. */
#define TAVRINLINK_TESTER_ANSWERS 0 /* the last exchange was answered (or none was made yet) */
#define TAVRINLINK_TESTER_SILENT 1  /* the tester left the last exchange unanswered */
#define TAVRINLINK_TESTER_GONE 2    /* the USB device failed the call: unplugged or switched off */
#define TAVRINLINK_TESTER_NO_PORT 3 /* no USB link is open: no port chosen, or none found */
TAVRINLINK_API int32_t TesterLinkState(void);

/* Receives every trace line; NULL restores standard error. user is handed back unchanged. */
typedef void (*TavrinTraceCallback)(const char* text, void* user);
TAVRINLINK_API void SetTraceCallback(TavrinTraceCallback callback, void* user);

/* Sets up the virtual tester of the "sim" driver. Keys "model" (10 to 13) and "dut" (path of a
 * device profile) apply to the tester that the next SelectUsbDriver("sim") builds. Key "fault"
 * takes effect at once, also on a virtual tester that is already open, and stays until it is
 * set again: "silent" (requests are lost, every read waits out its bound), "unplugged" (the
 * device is gone: every call on it fails and the port cannot be chosen) or "" (answers again).
 * It wins over a device profile's [faults] rehearsal while it is set.
 * 0 when taken, non-zero for a bad key or value. */
TAVRINLINK_API int32_t ConfigureSimulation(const char* key, const char* value);

#ifdef __cplusplus
}
#endif

#endif /* TAVRINLINK_H */
