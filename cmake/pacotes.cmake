# Install rules and packages. The same rules give the Debian package (CPack's
# DEB generator, on Linux) and the Windows zip (ZIP, from the cross build).

set(ROSCA_PROGRAMAS rosca-helicoidal)
if(TARGET rosca-visualizar)
  list(APPEND ROSCA_PROGRAMAS rosca-visualizar)
endif()
set(ROSCA_PASTA_PACOTES "${CMAKE_BINARY_DIR}" CACHE PATH "Where cpack leaves the packages")

# The operator's manual, one Markdown file a chapter, and its pictures. They
# keep the folders they have in the sources, so that the links of README and
# of the chapters hold where they are installed.
file(GLOB ROSCA_MANUAL RELATIVE "${PROJECT_SOURCE_DIR}" CONFIGURE_DEPENDS "${PROJECT_SOURCE_DIR}/docs/manual/*.md")
file(GLOB ROSCA_IMAGENS CONFIGURE_DEPENDS "${PROJECT_SOURCE_DIR}/docs/imagens/*.png"
     "${PROJECT_SOURCE_DIR}/docs/imagens/*.svg")

if(WIN32)
  # One folder with the programs and the texts, which a Windows editor opens
  # as they are: line ends in CR LF.
  install(TARGETS ${ROSCA_PROGRAMAS} RUNTIME DESTINATION .)
  # Each text as "source|name in the zip".
  set(textos "README.md|README.txt" "docs/respostas-exemplo.txt|respostas-exemplo.txt")
  foreach(capitulo ${ROSCA_MANUAL})
    list(APPEND textos "${capitulo}|${capitulo}")
  endforeach()
  foreach(texto IN LISTS textos)
    string(REPLACE "|" ";" texto "${texto}")
    list(GET texto 0 origem)
    list(GET texto 1 destino)
    file(READ "${PROJECT_SOURCE_DIR}/${origem}" conteudo)
    string(REPLACE "\r\n" "\n" conteudo "${conteudo}")
    string(REPLACE "\n" "\r\n" conteudo "${conteudo}")
    file(WRITE "${CMAKE_BINARY_DIR}/pacote/${destino}" "${conteudo}")
    get_filename_component(pasta "${destino}" DIRECTORY)
    if(pasta STREQUAL "")
      set(pasta .)
    endif()
    install(FILES "${CMAKE_BINARY_DIR}/pacote/${destino}" DESTINATION "${pasta}")
  endforeach()
  install(FILES ${ROSCA_IMAGENS} DESTINATION docs/imagens)
  set(CPACK_GENERATOR ZIP)
  set(CPACK_SYSTEM_NAME win32)
else()
  set(CMAKE_INSTALL_DOCDIR share/doc/rosca-helicoidal CACHE PATH "Documentation")
  include(GNUInstallDirs)
  install(TARGETS ${ROSCA_PROGRAMAS} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  # Man pages with the project's version, compressed as Debian keeps them.
  foreach(programa ${ROSCA_PROGRAMAS})
    set(pagina "${PROJECT_SOURCE_DIR}/docs/man/${programa}.1")
    set(com_versao "${CMAKE_BINARY_DIR}/man/${programa}.1")
    set(comprimida "${com_versao}.gz")
    configure_file("${pagina}" "${com_versao}" @ONLY)
    file(ARCHIVE_CREATE OUTPUT "${comprimida}" PATHS "${com_versao}" FORMAT raw COMPRESSION GZip)
    install(FILES "${comprimida}" DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
  endforeach()
  install(FILES README.md docs/respostas-exemplo.txt DESTINATION ${CMAKE_INSTALL_DOCDIR})
  install(FILES ${ROSCA_MANUAL} DESTINATION ${CMAKE_INSTALL_DOCDIR}/docs/manual)
  install(FILES ${ROSCA_IMAGENS} DESTINATION ${CMAKE_INSTALL_DOCDIR}/docs/imagens)
  set(CPACK_GENERATOR DEB)
endif()

set(CPACK_PACKAGE_NAME rosca-helicoidal)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Gerador de G-code para fresamento de roscas helicoidais")
set(CPACK_PACKAGE_CONTACT "Mantenedores do rosca-helicoidal <mantenedores@rosca-helicoidal.invalid>")
set(CPACK_OUTPUT_FILE_PREFIX "${ROSCA_PASTA_PACOTES}")
set(CPACK_PACKAGE_CHECKSUM SHA256)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
string(CONCAT CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Pergunta em portugues os dados de uma rosca (tipo, diametros, passos\n"
    "laterais, ferramenta, profundidade, passo, sentido, angulo, rotacao e\n"
    "avanco), planeja passes radiais iguais e grava o percurso G-code da fresa\n"
    "de rosca. rosca-visualizar desenha e confere o arquivo antes de usinar.")
set(CPACK_STRIP_FILES ON)
include(CPack)

# The packaging preset also makes the Windows zip from this Linux build:
# cmake/pacote_windows.sh cross-builds and zips it (installing MinGW when
# missing) into the same folder.
option(ROSCA_PACOTE_WINDOWS "Build the Windows zip beside the Linux package" OFF)
if(ROSCA_PACOTE_WINDOWS AND NOT WIN32)
  add_custom_target(pacote-windows ALL
    COMMAND "${PROJECT_SOURCE_DIR}/cmake/pacote_windows.sh" "${PROJECT_SOURCE_DIR}"
            "${CMAKE_BINARY_DIR}/windows" "${ROSCA_PASTA_PACOTES}"
    USES_TERMINAL VERBATIM)
endif()
