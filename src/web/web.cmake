# Included right after project() by the web preset (CMAKE_PROJECT_INCLUDE): once the whole
# tree has been read and the engine's targets exist, the web edition's targets join the build.
# (A deferred call reads its variables when it runs, so the path is written out now.)
if(EMSCRIPTEN)
  cmake_language(EVAL CODE
                 "cmake_language(DEFER DIRECTORY [[${PROJECT_SOURCE_DIR}]] CALL include [[${CMAKE_CURRENT_LIST_DIR}/CMakeLists.txt]])")
endif()
