// Stand-in for the OpenHarmony NDK header <native_vsync/native_vsync.h>.
#ifndef CANVASPORT_NDK_STUB_NATIVE_VSYNC_H
#define CANVASPORT_NDK_STUB_NATIVE_VSYNC_H

#ifdef __cplusplus
extern "C" {
#endif

typedef struct OH_NativeVSync OH_NativeVSync;
typedef void (*OH_NativeVSync_FrameCallback)(long long timestamp, void* data);

OH_NativeVSync* OH_NativeVSync_Create(const char* name, unsigned int length);
void OH_NativeVSync_Destroy(OH_NativeVSync* nativeVsync);
int OH_NativeVSync_RequestFrame(OH_NativeVSync* nativeVsync, OH_NativeVSync_FrameCallback callback, void* data);

#ifdef __cplusplus
}
#endif

#endif
