# turm_add_test(NAME <name> SOURCES <files...> LIBS <targets...> [GUI] [DATA])
# turm_add_test(NAME <name> SCRIPT <file.sh> [ARGS <arguments...>])
#
# Registers one GoogleTest executable with ctest, or a shell script that
# checks programs from outside (status 77: skipped, the script says why).
# GUI tests run on Qt's offscreen platform, so they need no display.  Every test runs in its own
# scratch directory below the build tree, because the program reads and
# writes its files in the working directory.  TURM_SHARED_DIR points at the
# folder with the shared sample data (tests skip when it is missing).
function(turm_add_test)
  cmake_parse_arguments(T "GUI" "NAME;SCRIPT" "SOURCES;LIBS;ARGS" ${ARGN})
  set(workdir ${CMAKE_BINARY_DIR}/testwork/${T_NAME})
  file(MAKE_DIRECTORY ${workdir})
  if(T_SCRIPT)
    add_test(NAME ${T_NAME} COMMAND bash ${T_SCRIPT} ${T_ARGS} WORKING_DIRECTORY ${workdir})
    set_tests_properties(${T_NAME} PROPERTIES SKIP_RETURN_CODE 77 TIMEOUT 300)
    return()
  endif()
  add_executable(${T_NAME} ${T_SOURCES})
  target_link_libraries(${T_NAME} PRIVATE ${T_LIBS} GTest::gtest GTest::gmock GTest::gtest_main)
  target_include_directories(${T_NAME} PRIVATE ${PROJECT_SOURCE_DIR})
  target_compile_definitions(${T_NAME} PRIVATE
    TURM_SHARED_DIR="${PROJECT_SOURCE_DIR}/../shared"
    TURM_SOURCE_DIR="${PROJECT_SOURCE_DIR}")
  add_test(NAME ${T_NAME} COMMAND ${T_NAME} WORKING_DIRECTORY ${workdir})
  set(env "")
  if(T_GUI)
    list(APPEND env "QT_QPA_PLATFORM=offscreen")
  endif()
  set_tests_properties(${T_NAME} PROPERTIES ENVIRONMENT "${env}" TIMEOUT 300)
endfunction()
