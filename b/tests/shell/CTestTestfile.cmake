# CMake generated Testfile for 
# Source directory: /work/main/tests/shell
# Build directory: /work/main/b/tests/shell
# 
# This file includes the relevant testing commands required for 
# testing this directory and lists subdirectories to be tested as well.
add_test([=[tst_startup]=] "/work/main/b/tests/shell/tst_startup")
set_tests_properties([=[tst_startup]=] PROPERTIES  ENVIRONMENT "QT_QPA_PLATFORM=offscreen" TIMEOUT "300" _BACKTRACE_TRIPLES "/work/main/tests/CMakeLists.txt;8;add_test;/work/main/tests/shell/CMakeLists.txt;2;kova_add_test;/work/main/tests/shell/CMakeLists.txt;0;")
add_test([=[tst_login]=] "/work/main/b/tests/shell/tst_login")
set_tests_properties([=[tst_login]=] PROPERTIES  ENVIRONMENT "QT_QPA_PLATFORM=offscreen" TIMEOUT "300" _BACKTRACE_TRIPLES "/work/main/tests/CMakeLists.txt;8;add_test;/work/main/tests/shell/CMakeLists.txt;3;kova_add_test;/work/main/tests/shell/CMakeLists.txt;0;")
add_test([=[tst_acesso]=] "/work/main/b/tests/shell/tst_acesso")
set_tests_properties([=[tst_acesso]=] PROPERTIES  ENVIRONMENT "QT_QPA_PLATFORM=offscreen" TIMEOUT "300" _BACKTRACE_TRIPLES "/work/main/tests/CMakeLists.txt;8;add_test;/work/main/tests/shell/CMakeLists.txt;4;kova_add_test;/work/main/tests/shell/CMakeLists.txt;0;")
add_test([=[tst_fechamento]=] "/work/main/b/tests/shell/tst_fechamento")
set_tests_properties([=[tst_fechamento]=] PROPERTIES  ENVIRONMENT "QT_QPA_PLATFORM=offscreen" TIMEOUT "300" _BACKTRACE_TRIPLES "/work/main/tests/CMakeLists.txt;8;add_test;/work/main/tests/shell/CMakeLists.txt;5;kova_add_test;/work/main/tests/shell/CMakeLists.txt;0;")
