# CMake generated Testfile for 
# Source directory: /work/main/tests
# Build directory: /work/main/b/tests
# 
# This file includes the relevant testing commands required for 
# testing this directory and lists subdirectories to be tested as well.
add_test([=[tst_jetsql]=] "/work/main/b/tests/tst_jetsql")
set_tests_properties([=[tst_jetsql]=] PROPERTIES  ENVIRONMENT "QT_QPA_PLATFORM=offscreen" TIMEOUT "300" _BACKTRACE_TRIPLES "/work/main/tests/CMakeLists.txt;8;add_test;/work/main/tests/CMakeLists.txt;12;kova_add_test;/work/main/tests/CMakeLists.txt;0;")
add_test([=[tst_dataset]=] "/work/main/b/tests/tst_dataset")
set_tests_properties([=[tst_dataset]=] PROPERTIES  ENVIRONMENT "QT_QPA_PLATFORM=offscreen" TIMEOUT "300" _BACKTRACE_TRIPLES "/work/main/tests/CMakeLists.txt;8;add_test;/work/main/tests/CMakeLists.txt;13;kova_add_test;/work/main/tests/CMakeLists.txt;0;")
add_test([=[tst_schema]=] "/work/main/b/tests/tst_schema")
set_tests_properties([=[tst_schema]=] PROPERTIES  ENVIRONMENT "QT_QPA_PLATFORM=offscreen" TIMEOUT "300" _BACKTRACE_TRIPLES "/work/main/tests/CMakeLists.txt;8;add_test;/work/main/tests/CMakeLists.txt;14;kova_add_test;/work/main/tests/CMakeLists.txt;0;")
add_test([=[tst_tdm]=] "/work/main/b/tests/tst_tdm")
set_tests_properties([=[tst_tdm]=] PROPERTIES  ENVIRONMENT "QT_QPA_PLATFORM=offscreen" TIMEOUT "300" _BACKTRACE_TRIPLES "/work/main/tests/CMakeLists.txt;8;add_test;/work/main/tests/CMakeLists.txt;15;kova_add_test;/work/main/tests/CMakeLists.txt;0;")
add_test([=[tst_cli]=] "/work/main/b/tests/tst_cli")
set_tests_properties([=[tst_cli]=] PROPERTIES  ENVIRONMENT "QT_QPA_PLATFORM=offscreen" TIMEOUT "300" _BACKTRACE_TRIPLES "/work/main/tests/CMakeLists.txt;8;add_test;/work/main/tests/CMakeLists.txt;16;kova_add_test;/work/main/tests/CMakeLists.txt;0;")
add_test([=[tst_funcoes]=] "/work/main/b/tests/tst_funcoes")
set_tests_properties([=[tst_funcoes]=] PROPERTIES  ENVIRONMENT "QT_QPA_PLATFORM=offscreen" TIMEOUT "300" _BACKTRACE_TRIPLES "/work/main/tests/CMakeLists.txt;8;add_test;/work/main/tests/CMakeLists.txt;17;kova_add_test;/work/main/tests/CMakeLists.txt;0;")
add_test([=[tst_archive]=] "/work/main/b/tests/tst_archive")
set_tests_properties([=[tst_archive]=] PROPERTIES  ENVIRONMENT "QT_QPA_PLATFORM=offscreen" TIMEOUT "300" _BACKTRACE_TRIPLES "/work/main/tests/CMakeLists.txt;8;add_test;/work/main/tests/CMakeLists.txt;18;kova_add_test;/work/main/tests/CMakeLists.txt;0;")
subdirs("shell")
