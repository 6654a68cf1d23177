#include "engine/workspace.h"

Workspace::Workspace(Platform platformServices, std::uint32_t seed)
    : platform(platformServices),
      m_ownRandom(std::make_unique<SeededRandom>(seed)),
      m_project(std::make_unique<TMosaicProject>(*this)),
      m_tilelib(std::make_unique<TTilelib>()),
      m_browselib(std::make_unique<TTilelib>()),
      m_random(m_ownRandom.get()),
      mproject(*m_project),
      mtilelib(*m_tilelib),
      mbrowselib(*m_browselib)
{
}

Workspace::~Workspace() = default;
