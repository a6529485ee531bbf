# CMake generated Testfile for 
# Source directory: /work/main/src
# Build directory: /work/main/b/src
# 
# This file includes the relevant testing commands required for 
# testing this directory and lists subdirectories to be tested as well.
subdirs("shell")
