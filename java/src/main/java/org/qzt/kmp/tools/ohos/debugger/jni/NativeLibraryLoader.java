package org.qzt.kmp.tools.ohos.debugger.jni;

import java.io.File;

/**
 * Loads the {@code nativescope} library once per class loader.
 *
 * <p>When the system property {@value #LIBRARY_PATH_PROPERTY} holds a full file path, that file is loaded;
 * otherwise the library is looked up by name on {@code java.library.path} (as {@code libnativescope.so},
 * {@code libnativescope.dylib} or {@code nativescope.dll}).
 */
public final class NativeLibraryLoader {
    public static final String LIBRARY_PATH_PROPERTY = "nativescope.library.path";
    public static final String LIBRARY_NAME = "nativescope";

    private static boolean loaded;

    private NativeLibraryLoader() {
    }

    /** Whether {@link #load()} has loaded the library in this class loader. */
    public static synchronized boolean isLoaded() {
        return loaded;
    }

    public static synchronized void load() {
        if (loaded) {
            return;
        }
        String explicit = System.getProperty(LIBRARY_PATH_PROPERTY);
        if (explicit != null && !explicit.isEmpty()) {
            File file = new File(explicit);
            if (!file.isFile()) {
                throw new UnsatisfiedLinkError(
                        LIBRARY_PATH_PROPERTY + " names no file: " + file.getAbsolutePath());
            }
            System.load(file.getAbsolutePath());
        } else {
            System.loadLibrary(LIBRARY_NAME);
        }
        loaded = true;
    }
}
