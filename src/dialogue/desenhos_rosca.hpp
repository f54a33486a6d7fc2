#pragma once

// Cross-sections printed by the diameter questions, one text per line, each
// beginning with its own line break. Trailing blanks are part of the drawing.

namespace desenho {

// Lines drawn more than once keep one text, so a fix reaches every copy.
inline constexpr const char* furo_fio_largo_sobe = "\n       |   |**/     \\**|                 ";
inline constexpr const char* furo_fio_estreito_desce = "\n       |   |*\\       /*|                 ";
inline constexpr const char* furo_fundo = "\n           |***********|                 ";

inline constexpr const char* const furo[] = {
    "\n             |-------|->> Diametro Maior ",
    "\n             |       |                   ",
    "\n             | |---| |->> Diametro Menor ",
    "\n        __  _|_     _|_                  ",
    furo_fio_largo_sobe,
    "\n       |   |*/       \\*|                 ",
    furo_fio_estreito_desce,
    "\n       |   |**\\     /**|                 ",
    furo_fio_largo_sobe,
    "\nTotal<-|   |*/       \\*| __              ",
    "\nDepth  |   |*\\       /*|   |             ",
    "\n       |   |**\\     /**|   |->> Passo - 360 graus  ",
    "\n       |   |**/     \\**|   |    (1 volta completa) ",
    "\n       |   |*/       \\*| __|             ",
    furo_fio_estreito_desce,
    "\n       |__ |**\\_____/**|                 ",
    furo_fundo,
    furo_fundo,
    furo_fundo,
};

inline constexpr const char* parafuso_fio_largo_desce = "\n       |     \\*******/                    ";
inline constexpr const char* parafuso_base = "\n           |***********|                  ";

inline constexpr const char* const parafuso[] = {
    "\n            |---------|->> Diametro Maior",
    "\n            |         |                   ",
    "\n            | |-----| |->> Diametro Menor",
    "\n        __  |  _____  |                   ",
    "\n       |    | /*****\\ |                   ",
    "\n       |    |/*******\\|                   ",
    parafuso_fio_largo_desce,
    "\n       |      \\*****/                     ",
    "\n       |      /*****\\                     ",
    "\nTotal<-|     /*******\\ __                 ",
    "\nDepth  |     \\*******/   |                ",
    "\n       |      \\*****/    |->> Passo - 360 graus  ",
    "\n       |      /*****\\    |    (1 volta completa) ",
    "\n       |     /*******\\ __|                ",
    parafuso_fio_largo_desce,
    "\n       |__  __\\*****/__                   ",
    parafuso_base,
    parafuso_base,
    parafuso_base,
};

inline constexpr const char* passo_haste = "\n                  |***|                           ";

// The cutter in the thread flank, shown before the radial step is asked.
inline constexpr const char* const passo[] = {
    passo_haste,
    passo_haste,
    passo_haste,
    passo_haste,
    passo_haste,
    passo_haste,
    "\nPasso de <-|--|   |***|------|->> Passo Lateral   ",
    "\nAcabamento | _|___|***|_____ |    Maximo          ",
    "\n           |/***************\\|                   ",
    "\n           |\\***************/|                   ",
    "\n           |                 |                    ",
    "\n           |-----------------|->> Diametro da Ferramenta ",
};

}  // namespace desenho
