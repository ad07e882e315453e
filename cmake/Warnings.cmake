# Every target of the project compiles warning-clean with these.
add_library(orbelin_warnings INTERFACE)
target_compile_options(orbelin_warnings INTERFACE -Wall -Wextra -Wpedantic)

# Sanitizers come from the asan preset through ORBELIN_SANITIZE.
option(ORBELIN_SANITIZE "Build with AddressSanitizer and UndefinedBehaviorSanitizer" OFF)
if(ORBELIN_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  add_link_options(-fsanitize=address,undefined)
endif()

# ThreadSanitizer comes from the tsan preset; it cannot be combined with the above.
option(ORBELIN_SANITIZE_THREADS "Build with ThreadSanitizer" OFF)
if(ORBELIN_SANITIZE_THREADS)
  add_compile_options(-fsanitize=thread -fno-omit-frame-pointer)
  add_link_options(-fsanitize=thread)
endif()

# orbelin_add_library(NAME SOURCES... [QT]) : one static library per src/ folder.
function(orbelin_add_library name)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPS" ${ARGN})
  add_library(${name} STATIC ${ARG_SOURCES})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
  target_link_libraries(${name} PUBLIC ${ARG_DEPS} PRIVATE orbelin_warnings)
endfunction()

# orbelin_add_gtest(NAME SOURCES... DEPS...) : a GoogleTest program registered with ctest.
function(orbelin_add_gtest name)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/src ${PROJECT_SOURCE_DIR}/tests)
  target_link_libraries(${name} PRIVATE ${ARG_DEPS} orbelin_testsupport GTest::gtest GTest::gtest_main orbelin_warnings)
  gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60
    PROPERTIES ENVIRONMENT "ORBELIN_CORPUS=${ORBELIN_CORPUS};QT_QPA_PLATFORM=offscreen")
endfunction()
