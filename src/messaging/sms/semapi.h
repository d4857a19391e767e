#pragma once

// The entry points of the SMS provider's library ("semapi.dll", here libsemapi.so), looked up
// by name. Texts marked UTF-16 are null-terminated char16_t strings; 8-bit texts are
// null-terminated UTF-8. Texts the library returns stay valid until its next call.

#include <cstddef>

namespace quill::semapi {

inline constexpr const char* kLibreria = "semapi.dll";

using SetLoginParamsAPI = bool (*)(const char16_t* param1, const char16_t* param2,
                                   const char16_t* param3, const char16_t* servidor, int opcion);
using SetProxyParamsAPI = bool (*)(const char16_t* servidor, int puerto, const char16_t* usuario,
                                   const char16_t* clave);
// fecha: "yyyymmddhhnnss", or fourteen zeros for "now". The request handle, or -1.
using AddRequestMessage = int (*)(const char16_t* de, const char16_t* texto, const char* fecha);
using AddMessageRecipient = int (*)(int peticion, const char* prefijo, const char* telefono);
using SetTimeZoneSending = bool (*)(const char* zona);
// "OK", or the service's "KO-..." code.
using ExecuteSending = const char* (*)();
using GetSendRequestId = int (*)();
using GetSendMessagesCount = int (*)();
using GetSendMessageId = int (*)(int indice);
// Credits charged: an integer, possibly followed by ".OK".
using GetChargedQuantity = const char* (*)();

using GetBalance = const char* (*)();
using GetRefundedQuantity = const char* (*)();
using GetMessagesTotal = int (*)();
using GetMessagesCancelled = int (*)();
using GetCancelledMessagesCount = int (*)();
using GetCancelledMessageId = int (*)(int indice);
using AddCancellationMessageId = int (*)(int idMensaje);
using ExecuteBalanceEnquiry = const char* (*)();
using ExecuteCancellationByIdRequest = const char* (*)(int peticion);
using ExecuteCancellationByIdMessages = const char* (*)();

// The twenty names, in the order the client looks them up.
inline constexpr const char* kNombres[20] = {"SetLoginParamsAPI",
                                             "SetProxyParamsAPI",
                                             "AddRequestMessage",
                                             "AddMessageRecipient",
                                             "SetTimeZoneSending",
                                             "ExecuteSending",
                                             "GetSendRequestId",
                                             "GetSendMessagesCount",
                                             "GetSendMessageId",
                                             "GetChargedQuantity",
                                             "GetBalance",
                                             "GetRefundedQuantity",
                                             "GetMessagesTotal",
                                             "GetMessagesCancelled",
                                             "GetCancelledMessagesCount",
                                             "GetCancelledMessageId",
                                             "AddCancellationMessageId",
                                             "ExecuteBalanceEnquiry",
                                             "ExecuteCancellationByIdRequest",
                                             "ExecuteCancellationByIdMessages"};

} // namespace quill::semapi
