#pragma once

// What the dialogue prints, written out independently of the program's own
// tables so that a typo in either shows up as a difference.

#include <algorithm>
#include <string>

#include "nucleo/console.hpp"
#include "trabalho/dados_rosca.hpp"
#include "trabalho/parada_critica.hpp"

namespace esperado {

struct Respondido {
    DadosRosca d;
    std::string console;
    std::string parada;  // message of the critical stop, if one was taken
};

// Runs the dialogue phases in order on a string of answers.
template <typename... Fases>
Respondido responder_com(const std::string& respostas, Fases... fases) {
    Respondido r;
    auto console = Console::em_memoria(respostas);
    try {
        (fases(r.d, *console), ...);
    } catch (const ParadaCritica& p) {
        r.parada = p.mensagem;
    }
    r.console = console->capturado();
    return r;
}

// Drawings are written as they look, with '$' marking the end of each line so
// that trailing blanks stay visible; the markers are dropped here.
inline std::string desenho(std::string marcado) {
    marcado.erase(std::remove(marcado.begin(), marcado.end(), '$'), marcado.end());
    return marcado;
}

inline const std::string furo = desenho(R"(
             |-------|->> Diametro Maior $
             |       |                   $
             | |---| |->> Diametro Menor $
        __  _|_     _|_                  $
       |   |**/     \**|                 $
       |   |*/       \*|                 $
       |   |*\       /*|                 $
       |   |**\     /**|                 $
       |   |**/     \**|                 $
Total<-|   |*/       \*| __              $
Depth  |   |*\       /*|   |             $
       |   |**\     /**|   |->> Passo - 360 graus  $
       |   |**/     \**|   |    (1 volta completa) $
       |   |*/       \*| __|             $
       |   |*\       /*|                 $
       |__ |**\_____/**|                 $
           |***********|                 $
           |***********|                 $
           |***********|                 $)");

inline const std::string parafuso = desenho(R"(
            |---------|->> Diametro Maior$
            |         |                   $
            | |-----| |->> Diametro Menor$
        __  |  _____  |                   $
       |    | /*****\ |                   $
       |    |/*******\|                   $
       |     \*******/                    $
       |      \*****/                     $
       |      /*****\                     $
Total<-|     /*******\ __                 $
Depth  |     \*******/   |                $
       |      \*****/    |->> Passo - 360 graus  $
       |      /*****\    |    (1 volta completa) $
       |     /*******\ __|                $
       |     \*******/                    $
       |__  __\*****/__                   $
           |***********|                  $
           |***********|                  $
           |***********|                  $)");

inline const std::string passo = desenho(R"(
                  |***|                           $
                  |***|                           $
                  |***|                           $
                  |***|                           $
                  |***|                           $
                  |***|                           $
Passo de <-|--|   |***|------|->> Passo Lateral   $
Acabamento | _|___|***|_____ |    Maximo          $
           |/***************\|                   $
           |\***************/|                   $
           |                 |                    $
           |-----------------|->> Diametro da Ferramenta $)");

inline const std::string bussola_esquerda = desenho(R"(
          90          $
       *      *       $
    135         45    $
   *              *  $
 180       o------ 0 $
   *              *  $
    225         315   $
       *      *       $
          270         $)");

inline const std::string bussola_direita = desenho(R"(
          270         $
       *      *       $
    225         315   $
   *              *  $
 180       o------ 0 $
   *              *  $
    135         45    $
       *      *       $
          90          $)");

inline const std::string banner = "========== Quilvane ========== rev. 1.0.7\n";

inline const std::string tipo = "\nEntre com o Tipo de Rosca: Interna ou Externa [I / E]: ";
inline const std::string tipo_errado =
    "\nERRO! (I ou E)... --- tente novamente!"
    "\n\n----------------------------------------------------------"
    "\nDuvidas ou sugestoes: consulte o README do programa."
    "\n----------------------------------------------------------\n";
inline const std::string diametro_final = "\nEntre com o Diametro Final da rosca [mm]: ";
inline const std::string diametro_inicial =
    "\nEntre com o Diametro Inicial da rosca [mm] (digite 0 p/ DESABILITAR)"
    "\n[Diametro do Blank p/ rosca em mais de um passe]: ";
inline const std::string passo_lateral = "\n\nEntre com o Passo Lateral (do filete) da rosca [mm]: ";
inline const std::string acabamento =
    "\nEntre com o Passo Lateral de Acabamento (do filete) da rosca [mm] (digite '0' p/ DESABILITAR): ";
inline const std::string fim_dos_passos = "------------------------------\n";
inline const std::string ferramenta = "\nEntre com o Diametro da Ferramenta [mm]: ";

inline const std::string comprimento = "\nEntre com a Profundidade (L) da rosca [mm]: ";
inline const std::string passo_rosca = "\nEntre com o passo da rosca (1 fio) [mm]: ";
inline const std::string sentido =
    "\nEntre com o Tipo de Rosca: Direita ou Esquerda [D / E]:\nDireita >> sentido Horario"
    "\nEsquerda >> sentido Anti-Horario\n: ";
inline const std::string sentido_errado = "\aERRO! (D ou E)... --- tente novamente!\n";
inline const std::string angulo_esquerda =
    "\nEntre com o angulo inicial da rosca [ '0' <= alpha < '360' graus] (digite '0' p/ PADRAO=0): \n" +
    bussola_esquerda + "\n: ";
inline const std::string angulo_direita =
    "\nEntre com o angulo inicial da rosca [ '0' <= alpha < '360' ] (digite '0' p/ PADRAO=0): \n" +
    bussola_direita + "\n: ";
inline const std::string angulo_fora =
    "\aERRO! O angulo inicial da rosca deve ser entre '0' e '359' ]  --- tente novamente!\n";
inline const std::string rotacao = "\nEntre com a rotacao do spindle [rpm]: ";
inline const std::string rotacao_zero =
    "\aERRO! Rotacao do Spindle deve ser diferente de ZERO... --- tente novamente!\n";
inline const std::string feed =
    "\nEntre com a Velocidade de Corte [mm / min]: "
    "\n(digite \"0\" p/ PADR\xC3O - FEED = RPM*0.05)"
    "\n(digite .5 p/ FEED = RPM*0.5)"
    "\n... ... ..."
    "\n(digite .2 p/ FEED = RPM*0.2)"
    "\n(digite .1 p/ FEED = RPM*0.1)"
    "\n: ";
inline const std::string feed_fora = "\aERRO! Fora da faixa...";

inline const std::string valor_invalido =
    "\aERRO! Valor invalido (digite apenas numeros)... --- tente novamente!\n";
inline const std::string entrada_encerrada =
    "\n\aERRO CRITICO - ENTRADA DE DADOS ENCERRADA.\nNenhum arquivo foi gravado.\n\a";

}  // namespace esperado
