/* dravo_shellhook: catches the keyboard's media keys anywhere on the desktop and hands each press
 * to the client as a media-key message value.
 *
 * On Windows the receiver is a window, to which each press is posted as DRAVO_MEDIA_KEY_MESSAGE;
 * elsewhere it is a target, a record the client owns: a delivery function and its context (the
 * Windows library keeps one such record per window). On X11 the library
 * grabs the keys on the root window from a thread and display connection of its own, for no
 * modifier, Shift, Ctrl and Ctrl+Shift, each with Caps Lock and Num Lock on or off (Alt is left
 * to other programs). On Windows a low-level keyboard hook, set from a thread of the library's,
 * sees every key press on the desktop, modifiers included, and lets it pass on. deliver() runs on
 * that thread: it must only queue the value for the client's user-interface thread (a posted
 * event or message) and return, and must not call back into this library.
 *
 * The value is laid out like the lParam of the system's application-command message: the
 * application-command number in bits 16 to 27 (device bits 28 to 31 are 0, "keyboard"), and in
 * the low word the modifiers held with that key press (DRAVO_MK_*), Caps Lock and Num Lock
 * removed.
 *
 * Call SetMMShellHook and UnSetMMShellHook from one thread at a time (the client's UI thread).
 * Failures are results: SetMMShellHook answers 0 when there is no display or no media key could
 * be grabbed; a key another program holds is skipped and counted in held_keys. Nothing is thrown
 * and the library never ends the process over an X error.
 *
 * The entry names break the naming rule on purpose: clients know the library by SetMMShellHook and
 * UnSetMMShellHook.
 */
#ifndef DRAVO_SHELLHOOK_H
#define DRAVO_SHELLHOOK_H

#include <stdint.h>
#ifdef _WIN32
#include <windows.h>
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* The client's message number for a media key (wParam unused, lParam = the value below). */
#define DRAVO_MEDIA_KEY_MESSAGE 0x7AB9u

#define DRAVO_APPCOMMAND_SHIFT 16
#define DRAVO_APPCOMMAND_MASK 0x0FFFu
#define DRAVO_MK_SHIFT 0x0004u
#define DRAVO_MK_CONTROL 0x0008u
#define DRAVO_MK_ALT 0x0020u

/* Application-command numbers of the keys the library catches. MEDIA_PLAY (46) has no key of its
 * own on X11; XF86AudioPlay, the play key of most keyboards, is MEDIA_PLAY_PAUSE. */
#define DRAVO_APPCOMMAND_VOLUME_MUTE 8          /* XF86AudioMute */
#define DRAVO_APPCOMMAND_VOLUME_DOWN 9          /* XF86AudioLowerVolume */
#define DRAVO_APPCOMMAND_VOLUME_UP 10           /* XF86AudioRaiseVolume */
#define DRAVO_APPCOMMAND_MEDIA_NEXTTRACK 11     /* XF86AudioNext */
#define DRAVO_APPCOMMAND_MEDIA_PREVIOUSTRACK 12 /* XF86AudioPrev */
#define DRAVO_APPCOMMAND_MEDIA_STOP 13          /* XF86AudioStop */
#define DRAVO_APPCOMMAND_MEDIA_PLAY_PAUSE 14    /* XF86AudioPlay */
#define DRAVO_APPCOMMAND_LAUNCH_MAIL 15         /* XF86Mail */
#define DRAVO_APPCOMMAND_LAUNCH_APP2 18         /* XF86Calculator */
#define DRAVO_APPCOMMAND_MEDIA_PLAY 46          /* no key on X11 */
#define DRAVO_APPCOMMAND_MEDIA_PAUSE 47         /* XF86AudioPause */

typedef void (*DravoMediaKeyDeliver)(void* context, uint32_t message, uint32_t lparam);

typedef struct DravoMediaKeyTarget {
    DravoMediaKeyDeliver deliver; /* in: called once per key press, on the hook's thread */
    void* context;                /* in: handed to deliver unchanged */
    int grabbed_keys;             /* out: keys this process now receives */
    int held_keys;                /* out: keys skipped because another program grabbed them first */
} DravoMediaKeyTarget;

#ifdef _WIN32
/* Windows: the receiver is a window. Starts posting DRAVO_MEDIA_KEY_MESSAGE (wParam 0, lParam
 * the value) to window; non-zero on success, and setting the same window twice changes nothing.
 * UnSetMMShellHook stops it: once it returns, nothing more is posted for that window. */
int SetMMShellHook(HWND window);
void UnSetMMShellHook(HWND window);
#else
/* Starts delivering to target (the record must live until UnSetMMShellHook). Non-zero on
 * success; setting the same target twice is a success that changes nothing. */
int SetMMShellHook(DravoMediaKeyTarget* target);

/* Stops delivering to target: once it returns, deliver is never called for it again. The last
 * target's removal releases the grabs and ends the thread. Unknown targets are ignored. */
void UnSetMMShellHook(DravoMediaKeyTarget* target);
#endif

#ifdef __cplusplus
}
#endif

#endif /* DRAVO_SHELLHOOK_H */
