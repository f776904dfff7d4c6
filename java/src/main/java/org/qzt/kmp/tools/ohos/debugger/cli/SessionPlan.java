package org.qzt.kmp.tools.ohos.debugger.cli;

/**
 * What a session does once attached: where it stops (or stays at the attach stop), which Kotlin formatter
 * script it loads, and how many instructions before and after the program counter its window shows.
 */
final class SessionPlan {
    static final int DEFAULT_BEFORE = 5;
    static final int DEFAULT_AFTER = 5;

    /** Null: the session shows the attach stop and sets no breakpoint. */
    final BreakLocation breakAt;
    /** Null: no script is loaded. */
    final String kotlinScript;
    final int before;
    final int after;
    /** The window is all the caller wants to see: without it the session failed. */
    final boolean windowOnly;

    SessionPlan(BreakLocation breakAt, String kotlinScript, int before, int after, boolean windowOnly) {
        this.breakAt = breakAt;
        this.kotlinScript = kotlinScript;
        this.before = before;
        this.after = after;
        this.windowOnly = windowOnly;
    }

    /** A source line given as FILE:LINE. */
    static final class BreakLocation {
        final String file;
        final int line;

        private BreakLocation(String file, int line) {
            this.file = file;
            this.line = line;
        }

        static BreakLocation parse(String text) {
            int colon = text.lastIndexOf(':');
            if (colon <= 0 || colon == text.length() - 1) {
                throw new IllegalArgumentException("--break needs FILE:LINE, got '" + text + "'");
            }
            try {
                int line = Integer.parseInt(text.substring(colon + 1));
                if (line <= 0) {
                    throw new NumberFormatException();
                }
                return new BreakLocation(text.substring(0, colon), line);
            } catch (NumberFormatException e) {
                throw new IllegalArgumentException("--break needs a positive line, got '" + text + "'");
            }
        }

        @Override
        public String toString() {
            return file + ":" + line;
        }
    }
}
