# Common settings for every target of the project.

# The release, from the VERSION file beside this folder, for every target compiled after
# this file is included.
file(STRINGS ${CMAKE_CURRENT_LIST_DIR}/../VERSION FAIRHOLM_VERSION LIMIT_COUNT 1)
add_compile_definitions(FAIRHOLM_VERSION="${FAIRHOLM_VERSION}")

# The game's data files, as the host tools write them into the program directory.
file(STRINGS ${CMAKE_CURRENT_LIST_DIR}/../assets/data-files.txt FAIRHOLM_GAME_DATA REGEX "^[^#]")
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${CMAKE_CURRENT_LIST_DIR}/../assets/data-files.txt)

function(fairholm_warnings target)
    target_compile_options(${target} PRIVATE -Wall -Wextra)
    if(FAIRHOLM_WERROR)
        target_compile_options(${target} PRIVATE -Werror)
    endif()
endfunction()

# The engine's arithmetic is 32-bit two's complement and relies on wrap-around
# (fixed-point sums, hashes of layout keys, tick differences). -fwrapv makes signed
# overflow defined for everything that is compiled against the engine; it is PUBLIC
# so that inline arithmetic in engine headers behaves the same in tests and tools.
function(fairholm_library target)
    file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
    add_library(${target} STATIC ${sources})
    target_include_directories(${target} PUBLIC ${PROJECT_SOURCE_DIR})
    target_compile_options(${target} PUBLIC -fwrapv)
    fairholm_warnings(${target})
endfunction()

# The engine and game libraries in a project of their own (the Windows and browser
# games): the same sources as every other build, built for that project's compiler.
macro(fairholm_engine_libraries root)
    add_subdirectory(${root}/runtime runtime)
    add_subdirectory(${root}/engine/sprite sprite)
    add_subdirectory(${root}/engine/render3d render3d)
    add_subdirectory(${root}/game game)
    foreach(library fairholm_runtime fairholm_sprite fairholm_render3d fairholm_game)
        target_include_directories(${library} PUBLIC ${root})
    endforeach()
endmacro()
