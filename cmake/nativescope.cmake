# The debugger bridge: engine (LLDB edge), JNI layer (Java edge), unit tests, fixtures.

set(LLDB_PREFIX "/usr/lib/llvm-15" CACHE PATH "Prefix of an LLDB 15 installation (include/lldb/API, lib/liblldb)")
find_path(LLDB_INCLUDE_DIR lldb/API/LLDB.h HINTS ${LLDB_PREFIX}/include REQUIRED)
find_library(LLDB_LIBRARY NAMES lldb lldb-15 HINTS ${LLDB_PREFIX}/lib REQUIRED)
find_program(LLDB_SERVER_EXECUTABLE NAMES lldb-server lldb-server-15 HINTS ${LLDB_PREFIX}/bin)
# The folder that holds LLDB's Python package (lldb/__init__.py) for the embedded interpreter.
file(GLOB _lldb_python_inits ${LLDB_PREFIX}/lib/python3*/*-packages/lldb/__init__.py)
list(SORT _lldb_python_inits)
list(REVERSE _lldb_python_inits)
set(_lldb_python_default "")
if(_lldb_python_inits)
  list(GET _lldb_python_inits 0 _lldb_python_init)
  get_filename_component(_lldb_python_pkg ${_lldb_python_init} DIRECTORY)
  get_filename_component(_lldb_python_default ${_lldb_python_pkg} DIRECTORY)
endif()
set(LLDB_PYTHONPATH "${_lldb_python_default}" CACHE PATH "Folder holding LLDB's Python package")
# Only the JNI headers are needed: the JVM is the host, never a link dependency.
set(NATIVESCOPE_JDK "/usr/lib/jvm/java-17-openjdk-amd64" CACHE PATH "JDK whose JNI headers are used")
find_path(JNI_HEADER_DIR jni.h HINTS ${NATIVESCOPE_JDK}/include $ENV{JAVA_HOME}/include REQUIRED)
find_path(JNI_MD_HEADER_DIR jni_md.h HINTS ${JNI_HEADER_DIR}/linux ${JNI_HEADER_DIR}/darwin ${JNI_HEADER_DIR}/win32 REQUIRED)
set(JNI_INCLUDE_DIRS ${JNI_HEADER_DIR} ${JNI_MD_HEADER_DIR})

set(NATIVESCOPE_WARNINGS -Wall -Wextra -Wpedantic -Wshadow -Wno-unused-parameter)

# Engine and the JNI-free pieces of the JNI layer: a static library so unit tests
# and benchmarks link the same code the shared library ships.
file(GLOB NATIVESCOPE_ENGINE_SOURCES CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/engine/*.cpp)
file(GLOB NATIVESCOPE_JNI_CORE_SOURCES CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/jni/core/*.cpp)
add_library(nativescope_core STATIC ${NATIVESCOPE_ENGINE_SOURCES} ${NATIVESCOPE_JNI_CORE_SOURCES})
target_include_directories(nativescope_core PUBLIC ${CMAKE_CURRENT_SOURCE_DIR}/engine ${CMAKE_CURRENT_SOURCE_DIR}/jni
                                                   ${LLDB_INCLUDE_DIR})
target_link_libraries(nativescope_core PUBLIC ${LLDB_LIBRARY} ${CMAKE_DL_LIBS})
target_compile_options(nativescope_core PRIVATE ${NATIVESCOPE_WARNINGS})
set_target_properties(nativescope_core PROPERTIES CXX_VISIBILITY_PRESET hidden VISIBILITY_INLINES_HIDDEN ON)

file(GLOB NATIVESCOPE_JNI_SOURCES CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/jni/*.cpp)
add_library(nativescope SHARED ${NATIVESCOPE_JNI_SOURCES})
target_include_directories(nativescope PRIVATE ${JNI_INCLUDE_DIRS})
target_link_libraries(nativescope PRIVATE nativescope_core)
target_compile_options(nativescope PRIVATE ${NATIVESCOPE_WARNINGS})
set_target_properties(nativescope PROPERTIES CXX_VISIBILITY_PRESET hidden VISIBILITY_INLINES_HIDDEN ON)
if(CMAKE_SYSTEM_NAME STREQUAL "Linux")
  # Only the JNI entry points leave the library.
  set(NATIVESCOPE_EXPORTS ${CMAKE_CURRENT_SOURCE_DIR}/jni/exports.map)
  target_link_options(nativescope PRIVATE -Wl,--version-script=${NATIVESCOPE_EXPORTS} -Wl,--no-undefined)
  set_target_properties(nativescope PROPERTIES LINK_DEPENDS ${NATIVESCOPE_EXPORTS})
endif()

add_subdirectory(tests/fixtures)
add_subdirectory(tests/harness)
add_subdirectory(tests/unit)
if(EXISTS ${CMAKE_CURRENT_SOURCE_DIR}/tests/integration/CMakeLists.txt)
  add_subdirectory(tests/integration)
endif()
set(NATIVESCOPE_FIXTURE_DIR ${CMAKE_BINARY_DIR}/tests/fixtures)
if(EXISTS ${CMAKE_CURRENT_SOURCE_DIR}/java/CMakeLists.txt)
  add_subdirectory(java)
endif()
