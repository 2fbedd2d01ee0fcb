# Files that ship with the program.
#
# The programs look for their shipped files beside themselves first, then in
# ../share/tessiro (src/project/ProgramFolders.cpp), so bin and share/tessiro are
# spelled here as literals rather than taken from GNUInstallDirs.

# The help file sits beside the program in the build tree too.
configure_file(${CMAKE_SOURCE_DIR}/data/help2.dat ${CMAKE_RUNTIME_OUTPUT_DIRECTORY}/help2.dat COPYONLY)
