#pragma once

#include <QString>
#include <QStringList>

#include <functional>

class clsKYR;

// Fills the model from the listings an encoder sent during a retrieval.
//
// listings holds the replies of the listing steps in section order: "KYR",
// "PGM1", "PGM2", "CAPPGM1", "CAPPGM2", then the 18 stream sections.
// Every line ended by CR LF is applied with the section's set-parameter
// operation; text after the last CR LF (the prompt) is not a line. Before
// "BTEST1" and "BTEST2" are read their Program is preset to 1 and 2.
//
// reportError is called with "Error in ParseSetup, press OK to continue"
// when something unexpected happens (a listing is missing); parsing then
// goes on with the next section.
void ParseSetup(clsKYR &kyr, const QStringList &listings,
                const std::function<void(const QString &)> &reportError = {});

// Applies every CR LF ended line of one listing to one section through
// apply(line).
void ApplyListing(const QString &listing, const std::function<void(const QString &)> &apply);
